// Every form and document reaches the file system through the Env it was made with, and through
// no other: faults injected into one item's Env stay with that item.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
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

// An open form or document with one page, driven through the exports of its library. It keeps
// the CurrentEnv() of the moment it was made, or `env`.
struct Item {
  explicit Item(bool document, qs::Env* env = nullptr) : document(document) {
    std::optional<ScopedEnv> use;
    if (env != nullptr) use.emplace(env);
    const FormInf inf{};
    PageInf page{};
    if (document) {
      CreateDoc(&doc, 1);
    } else {
      EXPECT_EQ(QfaCreateForm(&form, &inf), 0);
      EXPECT_EQ(QfaInsertFormPage(&form, 0, &page), 0);
    }
  }
  ~Item() { Close(); }

  int Save(std::string path) {
    return document ? QdaSaveDoc(&doc, path.c_str()) : QfaSaveForm(&form, &path[0]);
  }
  // Reads a saved file into the item, as an open does after making it, and loads page 1.
  int Read(const std::string& path) {
    if (!document) return qs::ReadFormFile(*qs::Form::FromHandle(&form), path);
    qs::Document& d = *qs::Document::FromHandle(&doc);
    int status = d.DeletePageEntry(1);
    if (status == qs::kOk) status = qs::ReadDocumentFile(d, path);
    return status == qs::kOk && d.PageAt(1) == nullptr ? qs::kDamaged : status;
  }
  int AddPicture(const std::string& source) {
    char path[256] = {};
    std::strncpy(path, source.c_str(), sizeof path - 1);
    const InsFigure ins{};
    uint16_t entry = 0;
    return document ? QdaAddInsFigure(&doc, &ins, path, &entry)
                    : QfaAddInsFigure(&form, &ins, path, &entry);
  }
  // Adds a picture in one journalled step and undoes it: the undone addition carries the picture
  // into the redo journal.
  int UndoPicture(const std::string& source) {
    int status = Call(QfaUndoControlStart, QdaUndoControlStart);
    if (status == qs::kOk) status = Call(QfaUndoBlockStart, QdaUndoBlockStart);
    if (status == qs::kOk) status = AddPicture(source);
    if (status == qs::kOk) status = Call(QfaUndoBlockEnd, QdaUndoBlockEnd);
    return status == qs::kOk ? Call(QfaUndo, QdaUndo) : status;
  }
  template <typename FormCall, typename DocCall>
  int Call(FormCall form_call, DocCall doc_call) {
    return document ? doc_call(&doc) : form_call(&form);
  }
  int Close() {
    if (document && doc.State != nullptr) QdaCloseDoc(&doc);
    if (!document && form.State != nullptr) QfaCloseForm(&form);
    doc.State = form.State = nullptr;  // closing a form leaves its handle as it was
    return qs::kOk;
  }

  const bool document;
  FormHandle form{};
  DocHandle doc{};
};

class ItemEnvTest : public ::testing::Test {
 protected:
  DocSite site;
  qs::Env& disk = *qs::Env::Default();
};

// Two items of one library side by side; only the first was made with a FaultEnv. Its save fails
// as armed, and the other's save succeeds without passing through the first one's Env.
TEST_F(ItemEnvTest, FaultsInOneItemsEnvLeaveTheOtherItemAlone) {
  const std::string failed_path = site.root() + "failing.out", saved_path = site.root() + "ok.out";
  for (const bool document : {false, true}) {
    for (const bool rename : {false, true}) {
      SCOPED_TRACE(std::string(document ? "document, " : "form, ") + (rename ? "rename" : "write"));
      FaultEnv faults;
      Item failing(document, &faults);
      Item working(document);
      if (rename)
        faults.FailRenames(true);
      else
        faults.FailWriteNumber(1);
      EXPECT_EQ(failing.Save(failed_path), rename ? qs::kCannotOpen : qs::kDamaged);
      EXPECT_GE(faults.failures(), 1);
      const int calls = faults.calls();
      EXPECT_EQ(working.Save(saved_path), qs::kOk);
      EXPECT_EQ(faults.calls(), calls);
      EXPECT_FALSE(disk.Exists(failed_path));
      EXPECT_TRUE(disk.Exists(saved_path));
      // Disarmed, the first item saves as well: the failure left it whole.
      faults.Reset();
      EXPECT_EQ(failing.Save(failed_path), qs::kOk);
      EXPECT_GT(faults.calls(), 0);
      ASSERT_TRUE(disk.Delete(saved_path) && disk.Delete(failed_path));
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

  struct Case {
    const char* operation;
    std::function<int(Item&)> run;
    int form_expected, doc_expected;
  };
  const Case cases[] = {
      {"save", [&](Item& item) { return item.Save(site.root() + "out.out"); }, qs::kOk, qs::kOk},
      // The file read holds a picture, which the reader extracts to a scratch file.
      {"open", [&](Item& item) { return item.Read(saved); }, qs::kOk, qs::kOk},
      {"add and journal a picture", [&](Item& item) { return item.UndoPicture(picture); }, qs::kOk,
       qs::kOk},
      {"load a template, or check and log",
       [&](Item& item) {
         FormInf inf{};
         std::strcpy(inf.TemplateName, "CTRL");
         return item.document
                    ? QdaCheckReplaceText(&item.doc, 0, (site.root() + "check.log").c_str())
                    : QfaPutFormInf(&item.form, &inf);
       },
       qs::kOk, qs::kCheckNoTable},
      {"close", [](Item& item) { return item.Close(); }, qs::kOk, qs::kOk},
  };
  for (const bool document : {false, true}) {
    Item source(document);
    ASSERT_EQ(source.AddPicture(picture), qs::kOk);
    ASSERT_EQ(source.Save(saved), qs::kOk);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(document ? "document: " : "form: ") + c.operation);
      FaultEnv own;        // passes everything through and counts it
      FaultEnv forbidden;  // must not see a single call
      Item item(document, &own);
      own.Reset();
      {
        ScopedEnv use(&forbidden);
        EXPECT_EQ(c.run(item), document ? c.doc_expected : c.form_expected);
      }
      EXPECT_GT(own.calls(), 0);
      EXPECT_EQ(forbidden.calls(), 0);
    }
  }
}

}  // namespace
}  // namespace qs_test
