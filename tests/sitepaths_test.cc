#include "sitepaths/sitepaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "platform/env.h"
#include "support/scratch_dir.h"

namespace qs {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvVar;
using test::ScratchDir;

// Every test starts from an environment without any setting of the service, whatever the
// environment of the person running the tests holds.
class SitePathsTest : public ::testing::Test {
 protected:
  std::string Ask(int (*call)(char*), int expected = SITEPATHS_OK) {
    char buf[SITEPATHS_DIR_SIZE + 16];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(call(buf), expected);
    for (size_t i = SITEPATHS_DIR_SIZE; i < sizeof buf; ++i) EXPECT_EQ(buf[i], '#') << i;
    return buf;
  }

  void WriteConfig(const std::string& text) {
    ASSERT_TRUE(WriteWholeFile(Env::Default(), config_path_, text));
  }

  ScratchDir dir_{"sitepaths"};
  std::string config_path_ = dir_.Sub("sitepaths.ini");
  ScopedEnvVar config_{"SITEPATHS_CONFIG", config_path_};
  ScopedEnvVar work_{"SITEPATHS_WORK_DIR", nullptr};
  ScopedEnvVar base_{"SITEPATHS_BASE_DIR", nullptr};
  ScopedEnvVar flat_{"SITEPATHS_FLAT_DIR", nullptr};
  ScopedEnvVar plugin_{"SITEPATHS_PLUGIN_DIR", nullptr};
  ScopedEnvVar shared_{"SITEPATHS_SHARED_DIR", nullptr};
  ScopedEnvVar user_{"SITEPATHS_USER_DIR", nullptr};
  ScopedEnvVar tmp_{"TMPDIR", dir_.MakeDir("tmp")};
  ScopedEnvVar home_{"HOME", dir_.Sub("home")};
};

struct FormDirs {
  int result;
  std::string base, flat;
};

FormDirs AskFormDirs() {
  char a[SITEPATHS_SHORT_SIZE], d[SITEPATHS_SHORT_SIZE];
  char base[SITEPATHS_DIR_SIZE + 8], flat[SITEPATHS_DIR_SIZE + 8];
  std::memset(a, '#', sizeof a);
  std::memset(d, '#', sizeof d);
  std::memset(base, '#', sizeof base);
  std::memset(flat, '#', sizeof flat);
  FormDirs r{SitePathsFormDirs(a, base, flat, d), "", ""};
  EXPECT_STREQ(a, "");
  EXPECT_STREQ(d, "");
  for (size_t i = SITEPATHS_DIR_SIZE; i < sizeof base; ++i) {
    EXPECT_EQ(base[i], '#');
    EXPECT_EQ(flat[i], '#');
  }
  r.base = base;
  r.flat = flat;
  return r;
}

TEST_F(SitePathsTest, Defaults) {
  const std::string work = dir_.Sub("tmp/qstore-" + std::to_string(CurrentUserId()) + "/");
  EXPECT_EQ(Ask(SitePathsWorkDir), work);
  EXPECT_TRUE(fs::is_directory(work));
  EXPECT_EQ(fs::status(work).permissions() & fs::perms::all, fs::perms::owner_all);

  FormDirs form = AskFormDirs();
  EXPECT_EQ(form.result, SITEPATHS_OK);
  EXPECT_EQ(form.base, "");
  EXPECT_EQ(form.flat, "");

  const std::string plugin = Ask(SitePathsPluginDir);
  ASSERT_FALSE(plugin.empty());
  EXPECT_EQ(plugin.back(), '/');
  EXPECT_TRUE(fs::exists(plugin + "libsitepaths.so")) << plugin;
  EXPECT_TRUE(fs::equivalent(plugin, std::string(QSTORE_BINARY_DIR) + "/lib")) << plugin;

  EXPECT_EQ(Ask(SitePathsSharedDir), "");
  EXPECT_EQ(Ask(SitePathsUserDir), dir_.Sub("home/.config/qstore/"));
}

TEST_F(SitePathsTest, DefaultWorkDirJoinsTmpDirWithOneSeparator) {
  ScopedEnvVar tmp("TMPDIR", dir_.Sub("tmp/"));  // already ends in '/'
  EXPECT_EQ(Ask(SitePathsWorkDir), dir_.Sub("tmp/qstore-" + std::to_string(CurrentUserId()) + "/"));
}

TEST_F(SitePathsTest, DefaultWorkDirPlantedAsLinkIsRefused) {
  const std::string elsewhere = dir_.MakeDir("elsewhere");
  fs::create_directory_symlink(elsewhere,
                               dir_.Sub("tmp/qstore-" + std::to_string(CurrentUserId())));
  EXPECT_EQ(Ask(SitePathsWorkDir, SITEPATHS_NOT_READY), "");
}

TEST_F(SitePathsTest, EnvironmentAnswersWithSeparatorAppended) {
  ScopedEnvVar work("SITEPATHS_WORK_DIR", dir_.Sub("w/x"));
  ScopedEnvVar base("SITEPATHS_BASE_DIR", "/srv/base");
  ScopedEnvVar flat("SITEPATHS_FLAT_DIR", "/srv/flat/");
  ScopedEnvVar plugin("SITEPATHS_PLUGIN_DIR", "/opt/plugins");
  ScopedEnvVar shared("SITEPATHS_SHARED_DIR", "relative/shared");
  ScopedEnvVar user("SITEPATHS_USER_DIR", "/u/");
  EXPECT_EQ(Ask(SitePathsWorkDir), dir_.Sub("w/x/"));
  FormDirs form = AskFormDirs();
  EXPECT_EQ(form.result, SITEPATHS_OK);
  EXPECT_EQ(form.base, "/srv/base/");
  EXPECT_EQ(form.flat, "/srv/flat/");
  EXPECT_EQ(Ask(SitePathsPluginDir), "/opt/plugins/");
  EXPECT_EQ(Ask(SitePathsSharedDir), "relative/shared/");
  EXPECT_EQ(Ask(SitePathsUserDir), "/u/");
}

TEST_F(SitePathsTest, ConfiguredWorkDirIsMadeWithParentsPrivately) {
  const std::string work = dir_.Sub("deep/er/work/");
  ScopedEnvVar var("SITEPATHS_WORK_DIR", work);
  EXPECT_EQ(Ask(SitePathsWorkDir), work);
  EXPECT_TRUE(fs::is_directory(work));
  EXPECT_EQ(fs::status(work).permissions() & fs::perms::all, fs::perms::owner_all);
  EXPECT_EQ(fs::status(dir_.Sub("deep")).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(SitePathsTest, WorkDirThatCannotBeMadeIsReported) {
  ASSERT_TRUE(WriteWholeFile(Env::Default(), dir_.Sub("file"), ""));
  ScopedEnvVar var("SITEPATHS_WORK_DIR", dir_.Sub("file/work"));
  EXPECT_EQ(Ask(SitePathsWorkDir, SITEPATHS_NOT_READY), dir_.Sub("file/work/"));
}

TEST_F(SitePathsTest, ConfigFileAnswersWhenTheEnvironmentDoesNot) {
  WriteConfig(
      "[other]\n"
      "BaseDir=/wrong/\n"
      "[SitePaths]\n"
      "workdir = " +
      dir_.Sub("cfgwork") +
      "\n"
      "BASEDIR = /cfg/base\n"
      "FlatDir=/cfg/flat/\n"
      "PluginDir=/cfg/plugin\n"
      "SharedDir=/cfg/shared\n"
      "UserDir=/cfg/user\n");
  EXPECT_EQ(Ask(SitePathsWorkDir), dir_.Sub("cfgwork/"));
  EXPECT_TRUE(fs::is_directory(dir_.Sub("cfgwork")));
  FormDirs form = AskFormDirs();
  EXPECT_EQ(form.result, SITEPATHS_OK);
  EXPECT_EQ(form.base, "/cfg/base/");
  EXPECT_EQ(form.flat, "/cfg/flat/");
  EXPECT_EQ(Ask(SitePathsPluginDir), "/cfg/plugin/");
  EXPECT_EQ(Ask(SitePathsSharedDir), "/cfg/shared/");
  EXPECT_EQ(Ask(SitePathsUserDir), "/cfg/user/");

  // The environment wins over the file; an empty variable is no setting.
  ScopedEnvVar base("SITEPATHS_BASE_DIR", "/env/base");
  ScopedEnvVar flat("SITEPATHS_FLAT_DIR", "");
  form = AskFormDirs();
  EXPECT_EQ(form.base, "/env/base/");
  EXPECT_EQ(form.flat, "/cfg/flat/");
}

TEST_F(SitePathsTest, EveryCallAsksAgain) {
  EXPECT_EQ(Ask(SitePathsSharedDir), "");
  WriteConfig("[sitepaths]\nSharedDir=/first\n");
  EXPECT_EQ(Ask(SitePathsSharedDir), "/first/");
  WriteConfig("[sitepaths]\nSharedDir=/second\n");
  EXPECT_EQ(Ask(SitePathsSharedDir), "/second/");
  ScopedEnvVar shared("SITEPATHS_SHARED_DIR", "/third");
  EXPECT_EQ(Ask(SitePathsSharedDir), "/third/");
}

TEST_F(SitePathsTest, AnswerThatDoesNotFitLeavesTheBufferEmpty) {
  // 254 characters + '/' + NUL fill the 256 bytes exactly; one more does not fit.
  const std::string fits = "/" + std::string(253, 'f');
  const std::string too_long = "/" + std::string(254, 'l');
  {
    ScopedEnvVar base("SITEPATHS_BASE_DIR", fits);
    ScopedEnvVar flat("SITEPATHS_FLAT_DIR", fits + "/");
    FormDirs form = AskFormDirs();
    EXPECT_EQ(form.result, SITEPATHS_OK);
    EXPECT_EQ(form.base, fits + "/");
    EXPECT_EQ(form.flat, fits + "/");
  }
  {
    ScopedEnvVar base("SITEPATHS_BASE_DIR", "/ok");
    ScopedEnvVar flat("SITEPATHS_FLAT_DIR", too_long);
    FormDirs form = AskFormDirs();
    EXPECT_NE(form.result, SITEPATHS_OK);
    EXPECT_EQ(form.base, "/ok/");
    EXPECT_EQ(form.flat, "");
  }
  {
    ScopedEnvVar base("SITEPATHS_BASE_DIR", too_long + "/");
    FormDirs form = AskFormDirs();
    EXPECT_NE(form.result, SITEPATHS_OK);
    EXPECT_EQ(form.base, "");
  }
  {
    ScopedEnvVar plugin("SITEPATHS_PLUGIN_DIR", too_long);
    ScopedEnvVar shared("SITEPATHS_SHARED_DIR", too_long);
    ScopedEnvVar user("SITEPATHS_USER_DIR", std::string(4000, 'u'));
    EXPECT_EQ(Ask(SitePathsPluginDir, SITEPATHS_TOO_LONG), "");
    EXPECT_EQ(Ask(SitePathsSharedDir, SITEPATHS_TOO_LONG), "");
    EXPECT_EQ(Ask(SitePathsUserDir, SITEPATHS_TOO_LONG), "");
  }
  {
    const std::string part(100, 'w');
    ScopedEnvVar var("SITEPATHS_WORK_DIR", dir_.Sub(part + "/" + part + "/" + part));
    EXPECT_EQ(Ask(SitePathsWorkDir, SITEPATHS_TOO_LONG), "");
    EXPECT_FALSE(fs::exists(dir_.Sub(part)));  // nothing made for a directory nobody can use
  }
  // A value cut by the INI reader must not pass for a shorter directory.
  WriteConfig("[sitepaths]\nSharedDir=/" + std::string(5000, 's') + "\n");
  EXPECT_EQ(Ask(SitePathsSharedDir, SITEPATHS_TOO_LONG), "");
}

TEST_F(SitePathsTest, UnknownHomeGivesEmptyUserDir) {
  // With HOME unset the user database answers; only a user without a home directory gets "".
  ScopedEnvVar home("HOME", nullptr);
  const std::string home_dir = HomeDirectory();
  const std::string user = Ask(SitePathsUserDir);
  if (home_dir.empty()) {
    EXPECT_EQ(user, "");
  } else {
    EXPECT_EQ(user, home_dir + (home_dir.back() == '/' ? "" : "/") + ".config/qstore/");
  }
}

TEST_F(SitePathsTest, NullBuffersAreRefused) {
  EXPECT_EQ(SitePathsWorkDir(nullptr), SITEPATHS_NO_BUFFER);
  EXPECT_EQ(SitePathsSharedDir(nullptr), SITEPATHS_NO_BUFFER);
  char base[SITEPATHS_DIR_SIZE];
  EXPECT_EQ(SitePathsFormDirs(nullptr, base, nullptr, nullptr), SITEPATHS_NO_BUFFER);
  EXPECT_EQ(SitePathsFormDirs(nullptr, base, base, nullptr), SITEPATHS_OK);
}

// Names of the symbols an ELF64 little-endian shared object exports (defined, global or weak).
bool ExportedSymbols(const std::string& path, std::set<std::string>* names) {
  std::string elf;
  if (!ReadWholeFile(Env::Default(), path, &elf) || elf.size() < 64 ||
      elf.compare(0, 4, "\177ELF") != 0 || elf[4] != 2 || elf[5] != 1) {
    return false;
  }
  auto read = [&](uint64_t at, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(elf.at(at + i));
    return v;
  };
  const uint64_t section_table = read(0x28, 8), entry_size = read(0x3A, 2), count = read(0x3C, 2);
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t section = section_table + i * entry_size;
    if (read(section + 4, 4) != 11) continue;  // SHT_DYNSYM
    const uint64_t symbols = read(section + 0x18, 8), size = read(section + 0x20, 8);
    const uint64_t strings = read(section_table + read(section + 0x28, 4) * entry_size + 0x18, 8);
    for (uint64_t sym = symbols; sym + 24 <= symbols + size; sym += 24) {
      const uint64_t binding = read(sym + 4, 1) >> 4;
      if (read(sym + 6, 2) == 0 || binding == 0) continue;  // undefined or local
      names->insert(elf.c_str() + strings + read(sym, 4));
    }
  }
  return true;
}

TEST(SitePathsLibraryTest, ExportsTheServiceAndNothingElse) {
  std::set<std::string> names;
  if (!ExportedSymbols(std::string(QSTORE_BINARY_DIR) + "/lib/libsitepaths.so", &names)) {
    GTEST_SKIP() << "not an ELF64 little-endian library";
  }
  EXPECT_EQ(names,
            (std::set<std::string>{"SitePathsWorkDir", "SitePathsFormDirs", "SitePathsPluginDir",
                                   "SitePathsSharedDir", "SitePathsUserDir"}));
}

}  // namespace
}  // namespace qs
