// Free cells, texts, figures and inserted pictures. Every operation works on the binder's current
// page; refused adds leave no record, no string and no entry behind.
#ifndef QSTORE_COMMON_MODEL_CONTENT_OPS_H_
#define QSTORE_COMMON_MODEL_CONTENT_OPS_H_

#include <cstdint>

#include "common/model/binder.h"
#include "common/model/page_data.h"
#include "qstore_records.h"

namespace qs {

int GetFreCell(Binder& b, PageData entry, FreCell* out, char* text256);
int PutFreCell(Binder& b, PageData entry, const FreCell* in, const char* text);
int AddFreCell(Binder& b, const FreCell* in, const char* text, uint16_t* out_entry);
int GetText(Binder& b, PageData entry, Text* out, char* text256);
int PutText(Binder& b, PageData entry, const Text* in, const char* text);
int AddText(Binder& b, const Text* in, const char* text, uint16_t* out_entry);
int GetFigure(Binder& b, PageData entry, Figure* out);
int PutFigure(Binder& b, PageData entry, const Figure* in);
int AddFigure(Binder& b, const Figure* in, uint16_t* out_entry);
int GetInsFigure(Binder& b, PageData entry, InsFigure* out, char* file_name256);
int PutInsFigure(Binder& b, PageData entry, const InsFigure* in);
// Copies the picture at `path` into the work directory; on success `path` (256 bytes) receives the
// copy's full path.
int AddInsFigure(Binder& b, const InsFigure* in, char* path256, uint16_t* out_entry);

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_CONTENT_OPS_H_
