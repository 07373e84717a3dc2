// Nothing thrown leaves the libraries: Contained turns it into the result its caller was promised,
// and the exports that reach files report their own failure status when the file layer throws.
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
    {"an int", [] { throw 7; }},
};

constexpr auto kOne = [] { return 1; };
static_assert(noexcept(qs::Contained(0, kOne)), "nothing leaves the boundary");

TEST(ContainedTest, TurnsWhateverIsThrownIntoTheFailureAndPassesResultsThrough) {
  std::vector<Throw> cases = {{"nothing thrown", nullptr}};
  cases.insert(cases.end(), std::begin(kThrows), std::end(kThrows));
  for (const Throw& c : cases) {
    SCOPED_TRACE(c.what);
    const bool throws = c.thrower != nullptr;
    const auto run = [&] {
      if (throws) c.thrower();
    };
    // A value as the failure.
    EXPECT_EQ(qs::Contained(qs::kNoMemory,
                            [&] {
                              run();
                              return 42;
                            }),
              throws ? qs::kNoMemory : 42);

    // A callable failure runs only when something was thrown, after the body's locals are gone,
    // and gives the result.
    bool body_local_alive = false;
    struct Local {
      bool* alive;
      ~Local() { *alive = false; }
    };
    int failures = 0;
    bool local_alive_at_failure = true;
    char buffer[] = "kept";
    const int status = qs::Contained(
        [&] {
          ++failures;
          local_alive_at_failure = body_local_alive;
          buffer[0] = '\0';
          return int(qs::kPageNoMemory);
        },
        [&] {
          Local local{&body_local_alive};
          body_local_alive = true;
          run();
          return 42;
        });
    EXPECT_EQ(status, throws ? qs::kPageNoMemory : 42);
    EXPECT_EQ(failures, throws ? 1 : 0);
    if (throws) {
      EXPECT_FALSE(local_alive_at_failure);
    }
    EXPECT_STREQ(buffer, throws ? "" : "kept");

    // Results of other types: an owned object, or none.
    const std::unique_ptr<int> made = qs::Contained(nullptr, [&] {
      auto p = std::make_unique<int>(5);
      run();
      return p;
    });
    EXPECT_EQ(made == nullptr, throws);
  }
}

// Every open of a file throws while armed, except the creation of a document's work file, so a
// document can still be made. Items are made under it, so they use it however they reach files.
class ThrowingEnv : public qs::test::FaultEnv {
 public:
  Thrower armed = nullptr;
  std::unique_ptr<qs::File> Open(const std::string& path, qs::OpenMode mode) override {
    if (armed != nullptr && mode != qs::OpenMode::kCreate) armed();
    return FaultEnv::Open(path, mode);
  }
};

class ContainedExportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FormInf inf{};
    PageInf page{};
    ASSERT_EQ(QfaCreateForm(&form, &inf), 0);
    ASSERT_EQ(QfaInsertFormPage(&form, 0, &page), 0);
    form_path = site.flat() + "boundary.QFD";
    std::string name = form_path;
    ASSERT_EQ(QfaSaveForm(&form, &name[0]), 0);
    site.WriteFile("base/QFT/CTRL.QFT", "$PRGKIND=7\n");
    qs_test::CreateDoc(&doc, 1);
    doc_path = site.root() + "boundary.doc";
    ASSERT_EQ(QdaSaveDoc(&doc, doc_path.c_str()), 0);
  }
  void TearDown() override {
    env.armed = nullptr;
    if (form.State != nullptr) QfaCloseForm(&form);
    QdaCloseDoc(&doc);
  }

  ThrowingEnv env;
  qs::test::ScopedEnv use{&env};
  qs_test::DocSite site;
  FormHandle form{};
  DocHandle doc{};
  std::string form_path, doc_path;
};

TEST_F(ContainedExportsTest, ExportsReportTheirFailureStatusWhateverTheFileLayerThrows) {
  struct Case {
    const char* what;
    std::function<int32_t()> call;
    int32_t expected;
  };
  char title[64];
  FieldControl control{};
  FormInf form_inf{};
  DocInf doc_inf{};
  const Case cases[] = {
      {"QfaSaveForm",
       [&] {
         std::string name = form_path;
         return QfaSaveForm(&form, &name[0]);
       },
       qs::kNoMemory},
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
         EXPECT_EQ(control.PrgKind, 0);
         EXPECT_EQ(control.PageMode, 1);
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
}

}  // namespace
