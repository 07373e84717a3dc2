// The form data file (".QFD"): 'H', then 'b', 'a' and 'M' when the form has them, then per page a
// 'P' record followed by the records of its content (common/page_codec.h).
#ifndef QSTORE_FORMSTORE_FORM_FILE_H_
#define QSTORE_FORMSTORE_FORM_FILE_H_

#include <string>

#include "common/model/header.h"
#include "formstore/form.h"
#include "platform/env.h"

namespace qs {

// Writes the whole form to `file` at its current position. kPictureCopy when an inserted figure's
// picture file is missing or empty, kDamaged when the file cannot be written, kRefused when an item
// cannot be read.
int WriteForm(Form& form, File& file);
// Writes the form to `path` in one step: on any failure the file that was there is left as it was.
// kCannotOpen when the file cannot be created.
int SaveFormFile(Form& form, const std::string& path);
// What a save of the form under a caller's name does: ".QFD" appended in place to a name without
// '.' (the caller's buffer has room), kNoPages for a form without pages (nothing written), else
// SaveFormFile; the change count is reset when the file was written.
int SaveFormAs(Form& form, char* file_name);

// Reads a form file into a form that holds one empty page and nothing else. kDamaged for a file
// that breaks the format (including every row, column, boundary, page number and length that does
// not fit), kVersionTooNew for a header version above 2, kPageLimit / kPageNoMemory when a page
// cannot be added, kRefused when a page cannot take an item, kPictureCopy when a picture cannot be
// written to its scratch file, kNoMemory, or the header-put step's status. On failure the form
// holds whatever was read and must be closed.
int ReadForm(Form& form, File& file);
// kCannotOpen when the file cannot be opened.
int ReadFormFile(Form& form, const std::string& path);

// Reads the header records of a form file without opening the form: 0, kCannotOpen, kDamaged,
// kVersionTooNew, kNoMemory.
int ReadFormHeader(File& file, Header* out);
int ReadFormHeaderFile(Env& env, const std::string& path, Header* out);

// Replaces the information block and the title (cut at 40 bytes) in the 288-byte header of a form
// file; nothing else of the file changes. kCannotOpen, or kRefused when the file does not start
// with such a header or cannot be read or written.
int PatchFormHeader(File& file, const FormInf& inf, const char* title);
int PatchFormHeaderFile(Env& env, const std::string& path, const FormInf& inf, const char* title);

}  // namespace qs

#endif  // QSTORE_FORMSTORE_FORM_FILE_H_
