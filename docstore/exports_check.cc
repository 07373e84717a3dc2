// The prohibited-character check over an open document, and the string reversal exported next to
// it. The check walks every page and leaves the last one current, which the handle's CurPage
// follows.
#include "common/model/text.h"
#include "docstore.h"
#include "docstore/check/char_check.h"
#include "docstore/check/text_convert.h"
#include "docstore/document.h"

namespace {

// The variants without a CheckMask examine every category.
constexpr int32_t kAllCategories = qs::kCategoryWide | qs::kCategoryKana | qs::kCategorySpecial;

int32_t Check(DocHandle* handle, int32_t check_mask, int32_t replace_mask, const char* log_path,
              const char* table_path) {
  return qs::WithDocument(handle, [&](qs::Document& d) {
    return qs::CheckReplaceText(d, check_mask, replace_mask, log_path, table_path);
  });
}

}  // namespace

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceText(DocHandle* handle,
                                                                   int32_t ReplaceMask,
                                                                   const char* LogPath) {
  return Check(handle, kAllCategories, ReplaceMask, LogPath, nullptr);
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceText2(DocHandle* handle,
                                                                    int32_t CheckMask,
                                                                    int32_t ReplaceMask,
                                                                    const char* LogPath) {
  return Check(handle, CheckMask, ReplaceMask, LogPath, nullptr);
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceTextAp(DocHandle* handle,
                                                                     int32_t ReplaceMask,
                                                                     const char* LogPath,
                                                                     const char* TablePath) {
  return Check(handle, kAllCategories, ReplaceMask, LogPath, TablePath);
}

QSTORE_EXTERN_C QSTORE_API int32_t QSTORE_CALL QdaCheckReplaceTextAp2(DocHandle* handle,
                                                                      int32_t CheckMask,
                                                                      int32_t ReplaceMask,
                                                                      const char* LogPath,
                                                                      const char* TablePath) {
  return Check(handle, CheckMask, ReplaceMask, LogPath, TablePath);
}

QSTORE_EXTERN_C QSTORE_API char* QSTORE_CALL QdaSubsStrRev(char* s) {
  return qs::ReverseSjisString(s);
}
