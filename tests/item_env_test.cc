// Every form and document reaches the file system through the Env it was made with, and through
// no other: faults injected into one item's Env stay with that item.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "common/status.h"
#include "docstore.h"
#include "docstore/document.h"
#include "docstore/document_file.h"
#include "formstore.h"
#include "formstore/form.h"
#include "formstore/form_file.h"
#include "platform/env.h"
#include "support/doc_site.h"
#include "support/fault_env.h"

namespace qs_test {
namespace {

using qs::test::FaultEnv;
using qs::test::ScopedEnv;

// An open form or document with one page, driven through the exports of its library.
class OpenItem {
 public:
  explicit OpenItem(bool document) : document_(document) {}
  ~OpenItem() { Close(); }
  OpenItem(const OpenItem&) = delete;
  OpenItem& operator=(const OpenItem&) = delete;

  // Makes the item; it keeps the CurrentEnv() of this moment.
  void Make() {
    if (document_) {
      CreateDoc(&doc_, 1);
      return;
    }
    const FormInf inf{};
    PageInf page{};
    ASSERT_EQ(QfaCreateForm(&form_, &inf), 0);
    ASSERT_EQ(QfaInsertFormPage(&form_, 0, &page), 0);
  }
  bool document() const { return document_; }
  FormHandle* form() { return &form_; }
  DocHandle* doc() { return &doc_; }

  int Save(const std::string& path) {
    std::string name = path;
    return document_ ? QdaSaveDoc(&doc_, name.c_str()) : QfaSaveForm(&form_, &name[0]);
  }
  // Reads a saved file into the open item, as an open does after making it, and loads page 1.
  int Read(const std::string& path) {
    if (!document_) return qs::ReadFormFile(*qs::Form::FromHandle(&form_), path);
    qs::Document& d = *qs::Document::FromHandle(&doc_);
    int status = d.DeletePageEntry(1);
    if (status == qs::kOk) status = qs::ReadDocumentFile(d, path);
    if (status == qs::kOk && d.PageAt(1) == nullptr) status = qs::kDamaged;
    return status;
  }
  int AddPicture(const std::string& source) {
    char path[256] = {};
    std::strncpy(path, source.c_str(), sizeof path - 1);
    const InsFigure ins{};
    uint16_t entry = 0;
    return document_ ? QdaAddInsFigure(&doc_, &ins, path, &entry)
                     : QfaAddInsFigure(&form_, &ins, path, &entry);
  }
  // Starts journalling, adds a picture in one step and undoes it: the journals are created, and
  // the undone addition carries the picture into the redo journal.
  int UndoPicture(const std::string& source) {
    int status = document_ ? QdaUndoControlStart(&doc_) : QfaUndoControlStart(&form_);
    if (status == qs::kOk)
      status = document_ ? QdaUndoBlockStart(&doc_) : QfaUndoBlockStart(&form_);
    if (status == qs::kOk) status = AddPicture(source);
    if (status == qs::kOk) status = document_ ? QdaUndoBlockEnd(&doc_) : QfaUndoBlockEnd(&form_);
    if (status == qs::kOk) status = document_ ? QdaUndo(&doc_) : QfaUndo(&form_);
    return status;
  }
  int Close() {
    if (document_ && doc_.State != nullptr) QdaCloseDoc(&doc_);
    if (!document_ && form_.State != nullptr) QfaCloseForm(&form_);
    doc_.State = form_.State = nullptr;  // closing a form leaves its handle as it was
    return qs::kOk;
  }

 private:
  const bool document_;
  FormHandle form_{};
  DocHandle doc_{};
};

class ItemEnvTest : public ::testing::Test {
 protected:
  bool Exists(const std::string& path) { return qs::Env::Default()->Exists(path); }

  DocSite site;
};

// Two items of the same library are open side by side; only the first was made with a FaultEnv.
// Its save fails as the fault says, the other's save succeeds, and the other's file operations do
// not pass through the first one's Env.
TEST_F(ItemEnvTest, FaultsInOneItemsEnvLeaveTheOtherItemAlone) {
  struct Case {
    const char* fault;
    std::function<void(FaultEnv&)> arm;
    int expected;
  };
  const Case cases[] = {
      {"create", [](FaultEnv& e) { e.FailCreates(true); }, qs::kCannotOpen},
      {"first write", [](FaultEnv& e) { e.FailWriteNumber(1); }, qs::kDamaged},
      {"every write", [](FaultEnv& e) { e.FailAllWrites(true); }, qs::kDamaged},
      {"sync", [](FaultEnv& e) { e.FailSyncs(true); }, qs::kDamaged},
      {"rename", [](FaultEnv& e) { e.FailRenames(true); }, qs::kCannotOpen},
  };
  for (const bool document : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(document ? "document, " : "form, ") + c.fault);
      FaultEnv faults;
      OpenItem failing(document), working(document);
      {
        ScopedEnv use(&faults);
        failing.Make();
      }
      working.Make();
      c.arm(faults);
      const std::string failed_path = site.root() + "failing.out";
      const std::string saved_path = site.root() + "working.out";
      EXPECT_EQ(failing.Save(failed_path), c.expected);
      EXPECT_GE(faults.failures(), 1);
      const int calls = faults.calls();
      EXPECT_EQ(working.Save(saved_path), qs::kOk);
      EXPECT_EQ(faults.calls(), calls);
      EXPECT_FALSE(Exists(failed_path));
      EXPECT_TRUE(Exists(saved_path));
      ASSERT_TRUE(qs::Env::Default()->Delete(saved_path));
      // Disarmed, the first item saves as well: the failure left it whole.
      faults.Reset();
      EXPECT_EQ(failing.Save(failed_path), qs::kOk);
      EXPECT_GT(faults.calls(), 0);
      ASSERT_TRUE(qs::Env::Default()->Delete(failed_path));
    }
  }
}

// Each file operation of an item reaches the Env the item was made with, even when the
// process-wide Env has since been replaced by one that must not be called.
TEST_F(ItemEnvTest, EveryFileOperationOfAnItemGoesThroughItsOwnEnv) {
  const std::string picture = site.WriteFile("picture.bmp", "BM" + std::string(3000, 'p'));
  site.WriteFile("base/QFT/CTRL.QFT", "$PRGKIND=7\n");
  const std::string saved = site.root() + "saved.out";
  qs::test::ScopedEnvVar shared("SITEPATHS_SHARED_DIR", site.root() + "shared/");
  qs::test::ScopedEnvVar user("SITEPATHS_USER_DIR", site.root() + "user/");

  enum Library { kForm = 1, kDocument = 2, kBoth = 3 };
  struct Case {
    const char* operation;
    Library library;
    std::function<int(OpenItem&)> run;
    int expected;
  };
  const Case cases[] = {
      {"save", kBoth, [&](OpenItem& item) { return item.Save(saved); }, qs::kOk},
      {"open", kBoth, [&](OpenItem& item) { return item.Read(saved); }, qs::kOk},
      {"add a picture", kBoth, [&](OpenItem& item) { return item.AddPicture(picture); }, qs::kOk},
      {"journal a picture", kBoth, [&](OpenItem& item) { return item.UndoPicture(picture); },
       qs::kOk},
      {"load a template", kForm,
       [](OpenItem& item) {
         FormInf inf{};
         std::strcpy(inf.TemplateName, "CTRL");
         return QfaPutFormInf(item.form(), &inf);
       },
       qs::kOk},
      {"check and log", kDocument,
       [&](OpenItem& item) {
         return QdaCheckReplaceText(item.doc(), 0, (site.root() + "check.log").c_str());
       },
       qs::kCheckNoTable},
      {"close", kBoth, [](OpenItem& item) { return item.Close(); }, qs::kOk},
  };
  for (const bool document : {false, true}) {
    for (const Case& c : cases) {
      if (!(c.library & (document ? kDocument : kForm))) continue;
      SCOPED_TRACE(std::string(document ? "document: " : "form: ") + c.operation);
      FaultEnv own;        // passes everything through and counts it
      FaultEnv forbidden;  // must not see a single call
      if (std::strcmp(c.operation, "open") == 0) {
        // The file to be read holds a picture, which the reader extracts to a scratch file.
        OpenItem source(document);
        source.Make();
        ASSERT_EQ(source.AddPicture(picture), qs::kOk);
        ASSERT_EQ(source.Save(saved), qs::kOk);
      }
      OpenItem item(document);
      {
        ScopedEnv use(&own);
        item.Make();
      }
      own.Reset();
      {
        ScopedEnv use(&forbidden);
        EXPECT_EQ(c.run(item), c.expected);
      }
      EXPECT_GT(own.calls(), 0);
      EXPECT_EQ(forbidden.calls(), 0);
    }
  }
}

}  // namespace
}  // namespace qs_test
