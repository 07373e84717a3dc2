#include "docstore/check/char_check.h"

#include <cstring>
#include <memory>
#include <string>

#include "common/contained.h"
#include "common/model/caller_values.h"
#include "common/model/cell_ops.h"
#include "common/model/chart_ops.h"
#include "common/model/content_ops.h"
#include "common/model/header.h"
#include "common/model/header_ops.h"
#include "common/model/page_ops.h"
#include "common/model/string_pool.h"
#include "common/status.h"
#include "docstore/check/char_gate.h"
#include "docstore/check/check_log.h"
#include "docstore/check/prohibit_groups.h"
#include "docstore/check/text_convert.h"
#include "platform/env.h"
#include "sitepaths/sitepaths.h"

namespace qs {

const char kProhibitIniName[] = "prohibit.ini";
const char kReplaceTableName[] = "pbrepl.csv";

namespace {

constexpr size_t kMaxText = StringPool::kMaxLength;
constexpr size_t kTextBuffer = kMaxText + 1;
// A text box bound to the title shows the information block's title, which holds 40 bytes.
constexpr uint8_t kTitleText = 1;
constexpr size_t kMaxTitle = kTitleSize - 1;
constexpr int kAllCategories = kCategoryWide | kCategoryKana | kCategorySpecial;

// A directory of the service, as a prefix: non-empty answers end in '/'.
std::string ServiceDir(int(SITEPATHS_CALL* answer)(char*)) {
  char buf[SITEPATHS_DIR_SIZE] = {};
  answer(buf);
  std::string dir(buf, strnlen(buf, sizeof buf));
  if (!dir.empty() && dir.back() != '/') dir.push_back('/');
  return dir;
}

std::string ParentDirectory(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// One check call: its parameters, the groups, the plug-in, the log and what was found.
class CheckRun {
 public:
  CheckRun(Binder& doc, int check_mask, int replace_mask)
      : doc_(doc),
        replace_mask_(replace_mask),
        converter_(groups_, check_mask, replace_mask, &gate_, &log_) {}

  int OpenLog(const char* path) { return log_.Open(doc_.env(), path); }

  int SetUp(const char* table_path) {
    Env* env = &doc_.env();
    // The directory service is asked in this order: plug-in, shared, user.
    const std::string plugin_path = ServiceDir(SitePathsPluginDir) + CharGate::kFileName;
    const std::string shared_dir = ServiceDir(SitePathsSharedDir);
    const std::string user_dir = ServiceDir(SitePathsUserDir);
    const std::string ini_path = shared_dir + kProhibitIniName;
    const std::string master_table = shared_dir + kReplaceTableName;
    std::string table = user_dir + kReplaceTableName;

    if (!env->Exists(table)) {
      if (!env->Exists(master_table)) return kCheckNoTable;
      const std::string dir = ParentDirectory(table);
      if (!dir.empty() && !env->Exists(dir)) env->CreateDirectories(dir);
      if (!env->CopyFile(master_table, table)) return kCheckTableCopy;
    }
    if (table_path != nullptr && *table_path != '\0' && env->Exists(table_path) &&
        !env->IsDirectory(table_path)) {
      table = table_path;
    }
    if (!env->Exists(ini_path)) return kCheckNoIni;
    if (const int status = ReadProhibitGroups(*env, ini_path, &groups_); status != kOk)
      return status;

    if (!gate_.Load(*env, plugin_path)) return kCheckPluginLoad;
    if (gate_.Init(table) == nullptr) {
      gate_.Unload();
      return kCheckPluginInit;
    }
    if (gate_.GroupLoad(ini_path) != 0) {
      gate_.Unload();  // releases the handle first
      return kCheckPluginGroups;
    }
    return kOk;
  }

  // Every page in order; the first failure ends the run.
  int Run() {
    const int pages = GetPageCount(doc_);
    int status = kOk;
    for (int p = 1; p <= pages && status == kOk; ++p) {
      PutCurPage(doc_, p);
      // A page that cannot be loaded has no entries to read; it must not pass for an empty one.
      const Page* page = doc_.CurrentPage();
      if (page == nullptr) {
        status = kCheckPageData;
        break;
      }
      const int count = page->data_count;
      for (int i = 1; i <= count && status == kOk; ++i) {
        uint16_t value = 0;
        if (GetPageData(doc_, i, &value) != kOk) {
          status = kCheckPageData;
          break;
        }
        const PageData entry = PageData::FromValue(value);
        switch (entry.kind) {
          case kChart:
            status = ChartStep(entry);
            break;
          case kText:
            status = TextStep(entry);
            break;
          case kFreCell:
            status = FreCellStep(entry);
            break;
          default:  // figures and inserted pictures hold no text
            break;
        }
      }
    }
    // The run ends on the last page, as a walk through all of them would.
    if (pages > 0) PutCurPage(doc_, pages);
    gate_.Unload();
    return status;
  }

  // Logs the outcome and gives the call's result.
  int Report(int status) {
    if (status != kOk) {
      log_.Failed(status);
    } else {
      log_.Summary(converter_.found_mask(), replace_mask_);
      status = converter_.found_mask() & kAllCategories;
    }
    log_.Close();
    return status;
  }

 private:
  bool Convert(const char* text, std::string* out) {
    if (*text == '\0') return false;
    return converter_.Convert(CallerText(text), kMaxText, out);
  }

  int ChartStep(PageData entry) {
    ChartInf inf{};
    if (GetChartInf(doc_, entry, &inf) != kOk) return kCheckChartInf;
    std::string out;
    for (uint16_t row = 1; row <= inf.Rows; ++row) {
      for (uint16_t col = 1; col <= inf.Cols; ++col) {
        ChartCell cell{};
        char text[kTextBuffer] = {};
        if (GetChartCell(doc_, entry, row, col, &cell, text) != kOk) {
          // Positions inside merged cells have nothing to read; a chart that has gone (its page
          // could not be loaded) must not pass for one.
          if (GetChartInf(doc_, entry, &inf) != kOk) return kCheckChartInf;
          continue;
        }
        if (!Convert(text, &out)) continue;
        if (PutChartCell(doc_, entry, row, col, &cell, out.c_str()) != kOk) return kCheckChartCell;
      }
    }
    return kOk;
  }

  int TextStep(PageData entry) {
    Text rec{};
    char text[kTextBuffer] = {};
    if (GetText(doc_, entry, &rec, text) != kOk) return kCheckTextRead;
    std::string out;
    if (!Convert(text, &out)) return kOk;
    if (rec.Kind != kTitleText) {
      return PutText(doc_, entry, &rec, out.c_str()) == kOk ? kOk : kCheckTextWrite;
    }
    DocInf inf{};
    if (GetInf(doc_, &inf) != kOk) return kCheckDocInf;
    if (out.size() <= kMaxTitle) {
      CopyBounded(inf.Title, sizeof inf.Title, out.c_str());
      return PutInf(doc_, &inf) == kOk ? kOk : kCheckTitle;
    }
    // The title cannot hold it: the text box keeps the new text and no longer shows the title.
    rec.Kind = 0;
    return PutText(doc_, entry, &rec, out.c_str()) == kOk ? kOk : kCheckUnboundText;
  }

  int FreCellStep(PageData entry) {
    FreCell rec{};
    char text[kTextBuffer] = {};
    if (GetFreCell(doc_, entry, &rec, text) != kOk) return kCheckFreCellRead;
    std::string out;
    if (!Convert(text, &out)) return kOk;
    return PutFreCell(doc_, entry, &rec, out.c_str()) == kOk ? kOk : kCheckFreCellWrite;
  }

  Binder& doc_;
  int replace_mask_;
  ProhibitGroups groups_;
  CharGate gate_;
  CheckLog log_;
  TextConverter converter_;
};

}  // namespace

int CheckReplaceText(Binder& doc, int check_mask, int replace_mask, const char* log_path,
                     const char* table_path) {
  std::unique_ptr<CheckRun> run;
  // Out of memory: the run stops where it was; what was written stays. Reporting that writes to
  // the log, which may fail in turn.
  const auto stopped = [&run] {
    return Contained(kRefused, [&run] { return run ? run->Report(kRefused) : int(kRefused); });
  };
  return Contained(stopped, [&] {
    run = std::make_unique<CheckRun>(doc, check_mask, replace_mask);
    if (const int status = run->OpenLog(log_path); status != kOk) return status;
    int status = run->SetUp(table_path);
    if (status == kOk) status = run->Run();
    return run->Report(status);
  });
}

}  // namespace qs
