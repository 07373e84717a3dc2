// The document file: 'H' (the header and the page count), 'b' (the header/footer block, always),
// 'a' (colour table) and 'M' (memo) when the document has them, then per page a 'P' record followed
// by the page's content records (common/file/page_codec.h). No end record follows the last page.
//
// Opening copies each page's records from the file into its work-file chain without making page
// records of them; saving copies the chains back, each 'P' record renumbered with its page's
// position.
#ifndef QSTORE_DOCSTORE_DOCUMENT_FILE_H_
#define QSTORE_DOCSTORE_DOCUMENT_FILE_H_

#include <string>

#include "docstore.h"
#include "docstore/document.h"
#include "platform/env.h"

namespace qs {

// Reads a document file into a document that has no pages yet. kDamaged for a file that breaks
// the format: a first record other than 'H', the end of the file before the first 'P', a 'P'
// whose page number is outside the announced count or repeated, a page the file announces but does
// not carry, a record cut short or a failed write to a chain. kPageLimit when the header announces
// more than 9999 pages, kRefused when a chain cannot be finished, kNoMemory. Pages of a header of
// version 1 have bits 3 and 7 of their packed fonts cleared; the header becomes version 2.
int ReadDocument(Document& doc, File& file);
// kCannotOpen when the file cannot be opened.
int ReadDocumentFile(Document& doc, const std::string& path);

// Writes the document (whose cache has been flushed) to `file`. kRefused for a page without a
// stored chain or a work file that cannot be read, kDamaged for a failed write or a malformed
// chain, kNoMemory.
int WriteDocument(Document& doc, File& file);
// Writes the document to `path` in one step: on any failure the file that was there is left as it
// was. kCannotOpen when the file cannot be created.
int SaveDocumentFile(Document& doc, const std::string& path);

// The information block and title (41 bytes, terminated) of a document file, read from its 'H'
// record without opening the document. Records before the 'H' are passed over. kRefused when no
// 288-byte 'H' record precedes the first 'P' record, the records are not framed or the file ends
// first; kNoMemory.
int ReadDocInf(File& file, DocInf* info, char* title);
// kNotFound when no file exists at `path` in `env`, kCannotOpen when it cannot be opened.
int ReadDocInfDirect(Env& env, const std::string& path, DocInf* info, char* title);

}  // namespace qs

#endif  // QSTORE_DOCSTORE_DOCUMENT_FILE_H_
