// Nothing thrown leaves the libraries: Contained turns it into the result its caller was promised,
// and the exports that reach files report running out of memory when the file layer throws.
#include "common/contained.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/status.h"
#include "docstore.h"
#include "formstore.h"
#include "support/doc_site.h"
#include "support/fault_env.h"

namespace {

struct Unrelated {};  // a type no library knows

using Thrower = void (*)();
struct Throw {
  const char* what;
  Thrower thrower;  // null: nothing is thrown
};
const Throw kThrows[] = {
    {"bad_alloc", [] { throw std::bad_alloc(); }},
    {"another standard exception", [] { throw std::runtime_error("disk on fire"); }},
    {"a type of no library", [] { throw Unrelated{}; }},
};

constexpr auto kOne = [] { return 1; };
static_assert(noexcept(qs::Contained(0, kOne)), "nothing leaves the boundary");

TEST(ContainedTest, TurnsWhateverIsThrownIntoTheFailureAndPassesResultsThrough) {
  std::vector<Throw> cases = {{"nothing thrown", nullptr}};
  cases.insert(cases.end(), std::begin(kThrows), std::end(kThrows));
  for (const Throw& c : cases) {
    SCOPED_TRACE(c.what);
    const bool throws = c.thrower != nullptr;
    const auto body = [&] {
      if (throws) c.thrower();
      return 42;
    };
    EXPECT_EQ(qs::Contained(qs::kNoMemory, body), throws ? qs::kNoMemory : 42);

    // A callable failure runs only when something was thrown, and gives the result.
    int failures = 0;
    const int status = qs::Contained(
        [&] {
          ++failures;
          return int(qs::kPageNoMemory);
        },
        body);
    EXPECT_EQ(status, throws ? qs::kPageNoMemory : 42);
    EXPECT_EQ(failures, throws ? 1 : 0);

    // A result of another type: an owned object, or none.
    const std::unique_ptr<int> made = qs::Contained(nullptr, [&] {
      auto p = std::make_unique<int>(5);
      body();
      return p;
    });
    EXPECT_EQ(made == nullptr, throws);
  }
}

// Every open of a file throws while armed, except the creation of a document's work file, so a
// document can still be made.
class ThrowingEnv : public qs::test::FaultEnv {
 public:
  Thrower armed = nullptr;
  std::unique_ptr<qs::File> Open(const std::string& path, qs::OpenMode mode) override {
    if (armed != nullptr && mode != qs::OpenMode::kCreate) armed();
    return FaultEnv::Open(path, mode);
  }
};

TEST(ContainedExportsTest, WhatTheFileLayerThrowsBecomesEachExportsFailureStatus) {
  ThrowingEnv env;
  qs::test::ScopedEnv use{&env};
  qs_test::DocSite site;
  FormHandle form{};
  const FormInf inf{};
  PageInf page{};
  ASSERT_EQ(QfaCreateForm(&form, &inf), 0);
  ASSERT_EQ(QfaInsertFormPage(&form, 0, &page), 0);
  std::string form_path = site.flat() + "boundary.QFD";
  ASSERT_EQ(QfaSaveForm(&form, &form_path[0]), 0);
  site.WriteFile("base/QFT/CTRL.QFT", "$PRGKIND=7\n");
  DocHandle doc{};
  qs_test::CreateDoc(&doc, 1);
  const std::string doc_path = site.root() + "boundary.doc";
  ASSERT_EQ(QdaSaveDoc(&doc, doc_path.c_str()), 0);

  char title[64];
  FormInf form_inf{};
  DocInf doc_inf{};
  FieldControl control{};
  struct Case {
    const char* what;
    std::function<int32_t()> call;
    int32_t expected;
  };
  const Case cases[] = {
      {"QfaSaveForm", [&] { return QfaSaveForm(&form, &form_path[0]); }, qs::kNoMemory},
      {"QfaOpenForm",
       [&] {
         FormHandle opened{};
         const int32_t status = QfaOpenForm(&opened, form_path.c_str());
         EXPECT_EQ(opened.State, nullptr);
         return status;
       },
       qs::kNoMemory},
      {"QfaGetFormInfDirect",
       [&] {
         std::strcpy(title, "stale");
         const int32_t status = QfaGetFormInfDirect(form_path.c_str(), &form_inf, title);
         EXPECT_STREQ(title, "");
         return status;
       },
       qs::kNoMemory},
      {"QfaPutFormInfDirect",
       [&] { return QfaPutFormInfDirect(form_path.c_str(), &form_inf, "title"); }, qs::kRefused},
      {"QfaGetFieldControlDirect",
       [&] {
         std::memset(&control, 0x55, sizeof control);
         const int32_t status = QfaGetFieldControlDirect("CTRL", &control);
         EXPECT_EQ(control.PageMode, 1);  // the defaults
         return status;
       },
       qs::kTemplateMissing},
      {"QdaSaveDoc", [&] { return QdaSaveDoc(&doc, doc_path.c_str()); }, qs::kNoMemory},
      {"QdaOpenDoc",
       [&] {
         DocHandle opened{};
         const int32_t status = QdaOpenDoc(&opened, doc_path.c_str());
         EXPECT_EQ(opened.State, nullptr);
         return status;
       },
       qs::kNoMemory},
      {"QdaGetDocInfDirect", [&] { return QdaGetDocInfDirect(doc_path.c_str(), &doc_inf, title); },
       qs::kNoMemory},
  };
  for (const Throw& t : kThrows) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + ", " + t.what);
      env.armed = t.thrower;
      EXPECT_EQ(c.call(), c.expected);
      env.armed = nullptr;
    }
  }
  // The open items are still whole.
  EXPECT_EQ(QfaGetPageCount(&form), 1);
  EXPECT_EQ(QdaGetPageCount(&doc), 1);
  QfaCloseForm(&form);
  QdaCloseDoc(&doc);
}

}  // namespace
