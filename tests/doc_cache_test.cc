// The page cache, the work file's chains, and the document over them: loading order, write-back
// of dirty pages, block reuse, and the font-slot scan that loads nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/status.h"
#include "docstore.h"
#include "docstore/document.h"
#include "docstore/page_cache.h"
#include "docstore/work_file.h"
#include "platform/env.h"
#include "support/doc_records.h"
#include "support/doc_site.h"
#include "support/fault_env.h"
#include "support/scratch_dir.h"

namespace qs_test {
namespace {

// Pages kept as their information word; records every load and store.
class FakeBacking : public qs::PageCache::Backing {
 public:
  int LoadPage(int number, qs::Page* page) override {
    log += "L" + std::to_string(number) + " ";
    if (fail_load) return qs::kDamaged;
    page->inf = stored[number];
    return qs::kOk;
  }
  int StorePage(int number, const qs::Page& page) override {
    log += "S" + std::to_string(number) + " ";
    if (fail_store) return qs::kDamaged;
    stored[number] = page.inf;
    return qs::kOk;
  }
  std::map<int, uint16_t> stored;
  std::string log;
  bool fail_load = false, fail_store = false;
};

TEST(PageCacheTest, EvictsInLoadingOrderAndWritesBackDirtyPages) {
  FakeBacking backing;
  qs::PageCache cache(backing);
  // Pages 1, 2, 1, 3: page 3 evicts page 1, loaded first, though page 2 was used less recently.
  for (int n : {1, 2, 1, 3}) ASSERT_NE(cache.Get(n), nullptr);
  EXPECT_EQ(backing.log, "L1 L2 L3 ");
  EXPECT_EQ(cache.slot_number(0), 2);
  EXPECT_EQ(cache.slot_number(1), 3);

  // Only a dirty page is written back, under its own number, before it leaves.
  cache.Get(3)->inf = 33;
  EXPECT_TRUE(cache.MarkDirty(3));
  EXPECT_FALSE(cache.MarkDirty(7));
  backing.log.clear();
  cache.Get(4);  // evicts clean 2
  cache.Get(5);  // evicts dirty 3
  EXPECT_EQ(backing.log, "L4 S3 L5 ");
  EXPECT_EQ(backing.stored[3], 33);
  EXPECT_EQ(cache.Get(3)->inf, 33);

  // A failed write-back keeps the page; a failed load leaves both slots as they were.
  cache.Get(3)->inf = 34;
  cache.MarkDirty(3);
  cache.Get(6);  // evicts 5, loading order is now 3, 6
  backing.fail_store = true;
  int status = qs::kOk;
  EXPECT_EQ(cache.Get(7, &status), nullptr);
  EXPECT_EQ(status, qs::kDamaged);
  EXPECT_EQ(cache.Find(3)->inf, 34);
  EXPECT_TRUE(cache.IsDirty(3));
  backing.fail_store = false;
  backing.fail_load = true;
  EXPECT_EQ(cache.Get(7), nullptr);  // 3 written back, 7 not loaded
  EXPECT_EQ(backing.stored[3], 34);
  EXPECT_EQ(cache.slot_number(0), 3);
  EXPECT_EQ(cache.slot_number(1), 6);
  backing.fail_load = false;

  // Flush writes back what is dirty and empties both slots; a new page goes in clean.
  cache.Get(6)->inf = 66;
  cache.MarkDirty(6);
  backing.log.clear();
  EXPECT_EQ(cache.Flush(), qs::kOk);
  EXPECT_EQ(backing.log, "S6 ");
  EXPECT_EQ(cache.Find(6), nullptr);
  cache.PlaceEmpty(9);
  EXPECT_EQ(cache.Find(9)->inf, 0);
  EXPECT_FALSE(cache.IsDirty(9));
  backing.log.clear();
  cache.Get(1);  // takes the empty slot, not page 9's
  EXPECT_NE(cache.Find(9), nullptr);
  EXPECT_EQ(backing.log, "L1 ");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Pattern(size_t n, int seed) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((i * 31 + size_t(seed)) & 0xFF);
  return s;
}

std::string ReadAll(qs::WorkFile& work, const qs::Chain& chain) {
  qs::ChainReader reader(work, chain);
  std::string out(chain.length, '\0');
  size_t got = 0;
  if (!reader.Read(&out[0], out.size(), &got) || got != out.size()) return "<failed>";
  return out;
}

bool WriteChain(qs::WorkFile& work, qs::Chain* chain, const std::string& bytes) {
  qs::ChainWriter writer(work, chain);
  return writer.Write(bytes.data(), bytes.size()) && writer.Finish() == qs::kOk;
}

// Chains of every length around block edges read back; rewriting reuses blocks in place, frees
// the surplus and takes free blocks before the file grows.
TEST(WorkFileTest, ChainsReuseTheirBlocks) {
  qs::test::ScratchDir dir("work_file");
  std::unique_ptr<qs::WorkFile> work = qs::WorkFile::Create(*qs::CurrentEnv(), dir.Sub("w.QDw"));
  ASSERT_NE(work, nullptr);
  constexpr size_t kData = qs::WorkFile::kBlockData;
  struct Case {
    size_t length;
    uint32_t blocks;
  };
  const std::vector<Case> cases = {{0, 1},     {1, 1},         {kData - 1, 1},
                                   {kData, 1}, {kData + 1, 2}, {3 * kData + 5, 4}};
  for (const Case& c : cases) {
    qs::test::ScratchDir fresh("work_file");
    std::unique_ptr<qs::WorkFile> w = qs::WorkFile::Create(*qs::CurrentEnv(), fresh.Sub("w.QDw"));
    qs::Chain chain;
    ASSERT_TRUE(WriteChain(*w, &chain, Pattern(c.length, 1))) << c.length;
    EXPECT_EQ(chain.length, c.length);
    EXPECT_EQ(w->block_count(), c.blocks) << c.length;
    EXPECT_EQ(ReadAll(*w, chain), Pattern(c.length, 1)) << c.length;
  }

  qs::Chain a, b;
  ASSERT_TRUE(WriteChain(*work, &a, Pattern(3 * kData, 2)));
  ASSERT_TRUE(WriteChain(*work, &b, Pattern(10, 3)));
  EXPECT_EQ(work->block_count(), 4u);
  ASSERT_TRUE(WriteChain(*work, &a, Pattern(kData + 7, 4)));  // shorter: one block freed
  EXPECT_EQ(work->free_count(), 1u);
  ASSERT_TRUE(WriteChain(*work, &b, Pattern(2 * kData, 5)));  // longer: takes the free block
  EXPECT_EQ(work->free_count(), 0u);
  EXPECT_EQ(work->block_count(), 4u);
  EXPECT_EQ(ReadAll(*work, a), Pattern(kData + 7, 4));
  EXPECT_EQ(ReadAll(*work, b), Pattern(2 * kData, 5));
  ASSERT_TRUE(work->Abandon(a));
  EXPECT_EQ(work->free_count(), 2u);
  qs::Chain c;
  ASSERT_TRUE(WriteChain(*work, &c, Pattern(2 * kData + 1, 6)));
  EXPECT_EQ(work->block_count(), 5u);
  EXPECT_EQ(ReadAll(*work, c), Pattern(2 * kData + 1, 6));
  EXPECT_EQ(ReadAll(*work, b), Pattern(2 * kData, 5));

  // Seeks back and forth across blocks.
  qs::ChainReader reader(*work, c);
  for (uint64_t at : {kData + 3, uint64_t(5), 2 * kData, kData - 1}) {
    ASSERT_TRUE(reader.Seek(at));
    char byte = 0;
    size_t got = 0;
    ASSERT_TRUE(reader.Read(&byte, 1, &got));
    ASSERT_EQ(got, 1u);
    EXPECT_EQ(byte, Pattern(2 * kData + 1, 6)[at]) << at;
  }
  EXPECT_FALSE(reader.Seek(2 * kData + 2));
}

// A chain whose writing fails is given up whole: its blocks are free and the owner's record of
// it is empty, so nothing reads a half-written page.
TEST(WorkFileTest, FailedWriteAbandonsTheChain) {
  qs::test::ScratchDir dir("work_file");
  qs::test::FaultEnv faults;
  qs::test::ScopedEnv use(&faults);
  std::unique_ptr<qs::WorkFile> work = qs::WorkFile::Create(*qs::CurrentEnv(), dir.Sub("w.QDw"));
  constexpr size_t kData = qs::WorkFile::kBlockData;
  for (int nth = 1; nth <= 3; ++nth) {
    qs::Chain chain;
    ASSERT_TRUE(WriteChain(*work, &chain, Pattern(2 * kData, 1)));
    faults.FailWriteNumber(nth);
    EXPECT_FALSE(WriteChain(*work, &chain, Pattern(4 * kData, 2))) << nth;
    faults.Reset();
    EXPECT_EQ(chain.first_block, 0u) << nth;
    EXPECT_EQ(work->free_count() + 0u, size_t(work->block_count())) << nth;
  }
}

// Seeded random rewrites, shrinks, growths and abandons of a handful of chains over reused blocks
// (whose stale bytes and links lie past the new data) read back as written, and the links on disk
// alone lead through every chain: the file is complete without the work file's copy of them.
TEST(WorkFileTest, RandomRewritesReadBackAndLinksOnDiskAgree) {
  qs::test::ScratchDir dir("work_file");
  const std::string path = dir.Sub("w.QDw");
  std::unique_ptr<qs::WorkFile> work = qs::WorkFile::Create(*qs::CurrentEnv(), path);
  ASSERT_NE(work, nullptr);
  constexpr size_t kData = qs::WorkFile::kBlockData;
  const size_t lengths[] = {0, 1, 600, kData - 1, kData, kData + 1, 2 * kData + 9, 5 * kData};
  std::mt19937 random(12);
  std::vector<qs::Chain> chains(6);
  std::vector<std::string> model(6);
  for (int step = 0; step < 400; ++step) {
    const size_t k = random() % chains.size();
    if (random() % 5 == 0) {
      ASSERT_TRUE(work->Abandon(chains[k]));
      chains[k] = qs::Chain{};
      model[k].clear();
    } else {
      model[k] = Pattern(lengths[random() % 8], step);
      ASSERT_TRUE(WriteChain(*work, &chains[k], model[k])) << step;
    }
    const size_t c = random() % chains.size();
    if (chains[c].first_block != 0) {
      ASSERT_EQ(ReadAll(*work, chains[c]), model[c]) << step;
    }
  }
  const std::string file = ReadFile(path);
  for (size_t k = 0; k < chains.size(); ++k) {
    if (chains[k].first_block == 0) continue;
    std::string data;
    for (uint32_t block = chains[k].first_block; block != 0;) {
      ASSERT_LE(block + size_t(qs::WorkFile::kBlockSize), file.size()) << k;
      ASSERT_EQ(block % qs::WorkFile::kBlockSize, 0u);
      data += file.substr(block, kData);
      const auto* link = reinterpret_cast<const unsigned char*>(file.data() + block + kData);
      block = uint32_t(link[0] | link[1] << 8 | link[2] << 16 | uint32_t(link[3]) << 24);
    }
    EXPECT_EQ(data.substr(0, chains[k].length), model[k]) << k;
    EXPECT_LT(data.size() - chains[k].length, kData + (chains[k].length == 0)) << k;
  }
}

class DocCacheTest : public ::testing::Test {
 protected:
  void TearDown() override { QdaCloseDoc(&h); }
  qs::Document& doc() { return *qs::Document::FromHandle(&h); }
  DocSite site;
  DocHandle h{};
};

// Edits survive eviction: each page is written back when it leaves the cache, read again when it
// comes back, and a flush leaves nothing behind.
TEST_F(DocCacheTest, DirtyPagesAreWrittenBack) {
  CreateDoc(&h, 50);
  std::mt19937 random(7);
  std::vector<int> labels(51, 0);
  for (int step = 0; step < 500; ++step) {
    const int n = int(random() % 50) + 1;
    labels[size_t(n)] = step + 1;
    LabelPage(&h, n, step + 1);
    ASSERT_TRUE(doc().CachedPage(n) != nullptr);
  }
  for (int n = 1; n <= 50; ++n) EXPECT_EQ(LabelOf(&h, n), labels[size_t(n)]) << n;
  ASSERT_EQ(doc().FlushPages(), qs::kOk);
  for (int n = 1; n <= 50; ++n) EXPECT_EQ(doc().CachedPage(n), nullptr);
  for (int n = 50; n >= 1; --n) EXPECT_EQ(LabelOf(&h, n), labels[size_t(n)]) << n;
}

// The font-slot scan answers for every page without loading any: the page an edit works on stays
// where it is. Stored pages answer from the font set their write-back recorded.
TEST_F(DocCacheTest, FontScanLoadsNothing) {
  CreateDoc(&h, 6);
  const char* faces[] = {"A", "B", "C", "D", "E"};
  for (int n = 1; n <= 5; ++n) {
    ASSERT_EQ(QdaPutCurPage(&h, n), 0);
    FreCell cell{};
    cell.Right = cell.Bottom = 10;
    std::strcpy(cell.Font.FontName, faces[n - 1]);
    uint16_t entry = 0;
    ASSERT_EQ(QdaAddFreCell(&h, &cell, "x", &entry), 0);
  }
  // Pages 4 and 5 are cached, 1..3 stored; every slot is in use somewhere.
  for (int k = 1; k <= 5; ++k) EXPECT_TRUE(doc().FontNumberInUse(k)) << k;
  EXPECT_FALSE(doc().FontNumberInUse(6));
  ASSERT_EQ(QdaPutCurPage(&h, 6), 0);
  PageInf inf{};
  ASSERT_EQ(QdaGetPageInf(&h, &inf), 0);  // loads page 6
  ASSERT_NE(doc().CachedPage(6), nullptr);
  ASSERT_NE(doc().CachedPage(5), nullptr);

  // A sixth face on page 6 finds no free slot (104), and the scan it makes evicts nothing.
  FreCell cell{};
  cell.Right = cell.Bottom = 10;
  std::strcpy(cell.Font.FontName, "F");
  uint16_t entry = 0;
  EXPECT_EQ(QdaAddFreCell(&h, &cell, "y", &entry), 104);
  EXPECT_NE(doc().CachedPage(6), nullptr);
  EXPECT_NE(doc().CachedPage(5), nullptr);

  // Page 2 gives up face B: once its change is stored, slot 2 is free for the new face.
  ASSERT_EQ(QdaPutCurPage(&h, 2), 0);
  ASSERT_EQ(QdaDeletePageData(&h, 3 | 1 << 8), 0);
  for (int n : {1, 3}) {  // page 2 leaves the cache, written back
    ASSERT_EQ(QdaPutCurPage(&h, n), 0);
    ASSERT_EQ(QdaGetPageInf(&h, &inf), 0);
  }
  ASSERT_EQ(doc().CachedPage(2), nullptr);
  EXPECT_FALSE(doc().FontNumberInUse(2));
  ASSERT_EQ(QdaPutCurPage(&h, 6), 0);
  EXPECT_EQ(QdaAddFreCell(&h, &cell, "y", &entry), 0);
  EXPECT_STREQ(doc().header().rec.font_names[1], "F");
  EXPECT_NE(doc().CachedPage(6), nullptr);

  // The font sets survive save and open, where they are taken from the file's records.
  const std::string path = site.root() + "fonts.doc";
  ASSERT_EQ(QdaSaveDoc(&h, path.c_str()), 0);
  QdaCloseDoc(&h);
  ASSERT_EQ(QdaOpenDoc(&h, path.c_str()), 0);
  for (int k = 1; k <= 5; ++k) EXPECT_TRUE(doc().FontNumberInUse(k)) << k;
  ASSERT_EQ(QdaPutCurPage(&h, 6), 0);
  ASSERT_EQ(QdaDeletePageData(&h, 3 | 1 << 8), 0);  // its free cell of face F
  ASSERT_EQ(QdaPutCurPage(&h, 1), 0);
  EXPECT_FALSE(doc().FontNumberInUse(2));
}

// Page 2 of three carries two pictures; the figures' entries are kept.
class PictureWalkTest : public DocCacheTest {
 protected:
  void SetUp() override {
    CreateDoc(&h, 3);
    ASSERT_EQ(QdaPutCurPage(&h, 2), 0);
    for (int k = 0; k < 2; ++k) {
      for (int i = 0; i < 12000 + 999 * k; ++i) bytes[k] += char(i * (7 + k) + (i >> 8));
      char path[256] = {};
      std::strcpy(path,
                  site.WriteFile("pictures/p" + std::to_string(k) + ".bmp", bytes[k]).c_str());
      InsFigure ins{};
      ASSERT_EQ(QdaAddInsFigure(&h, &ins, path, &entries[k]), 0);
    }
  }
  // Loads page 2, then 1 and 3, so page 2 leaves the cache (written back when dirty).
  void Walk() {
    for (int n : {2, 1, 3}) ASSERT_NE(doc().PageAt(n), nullptr) << n;
  }
  // The path of a figure on page 2 (which must be cached), after checking its bytes.
  std::string CheckedCopy(int k) {
    EXPECT_NE(doc().CachedPage(2), nullptr);
    InsFigure out{};
    char copy[256] = {};
    EXPECT_EQ(QdaGetInsFigure(&h, entries[k], &out, copy), 0);
    EXPECT_EQ(ReadFile(copy), bytes[k]) << copy;
    return copy;
  }
  std::string bytes[2];
  uint16_t entries[2] = {};
};

// Walking a picture page through the cache thousands of times reuses the copies its last load
// made (or its last write-back named) while they still hold the pictures: the scratch files stay
// few and fresh names never run out. A copy that is gone or has another size is made again, and
// every path a caller was given keeps naming its picture.
TEST_F(PictureWalkTest, CopiesAreReusedNotPiledUp) {
  enum Between { kNothing, kEditPage, kRemoveCopy, kResizeCopy };
  struct Case {
    const char* name;
    Between between;
    int walks;
    size_t most_new_files;  // beyond those of the first walk
  };
  const std::vector<Case> cases = {{"walk only", kNothing, 12000, 0},
                                   {"page edited", kEditPage, 3000, 0},
                                   {"copy removed", kRemoveCopy, 200, 0},
                                   {"copy resized", kResizeCopy, 200, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Walk();
    ASSERT_NE(doc().PageAt(2), nullptr);
    const size_t files = site.WorkFiles().size();
    std::vector<std::string> given;  // every path a caller got
    for (int walk = 0; walk < c.walks; ++walk) {
      Walk();
      ASSERT_NE(doc().PageAt(2), nullptr);
      const std::string copy = CheckedCopy(walk % 2);
      if (walk % 500 == 0 || c.between == kResizeCopy) given.push_back(copy);
      if (c.between == kEditPage) {
        PageInf inf{};
        inf.Flag1 = uint8_t(walk);
        ASSERT_EQ(QdaPutPageInf(&h, &inf), 0);
      }
      if (c.between == kRemoveCopy) {
        ASSERT_TRUE(qs::CurrentEnv()->Delete(copy));
      }
      if (c.between == kResizeCopy) std::ofstream(copy, std::ios::binary | std::ios::app) << "x";
      if (::testing::Test::HasFailure()) return;
    }
    EXPECT_LE(site.WorkFiles().size(), files + c.most_new_files);
    Walk();
    ASSERT_NE(doc().PageAt(2), nullptr);
    CheckedCopy(0);
    CheckedCopy(1);
    if (c.between == kNothing || c.between == kEditPage) {
      for (const std::string& path : given)
        EXPECT_TRUE(ReadFile(path) == bytes[0] || ReadFile(path) == bytes[1]) << path;
    }
  }
}

// A deleted figure's undo entry names its picture copy; after thousands of walks the undo still
// finds it and brings the picture back whole.
TEST_F(PictureWalkTest, UndoFindsTheDeletedFigureAfterWalks) {
  ASSERT_EQ(QdaUndoControlStart(&h), 0);
  ASSERT_EQ(QdaUndoBlockStart(&h), 0);
  ASSERT_EQ(QdaDeletePageData(&h, entries[1]), 0);
  ASSERT_EQ(QdaUndoBlockEnd(&h), 0);
  for (int walk = 0; walk < 11000; ++walk) Walk();
  ASSERT_NE(doc().PageAt(2), nullptr);
  ASSERT_EQ(QdaUndo(&h), 0);
  CheckedCopy(0);
  CheckedCopy(1);
}

}  // namespace
}  // namespace qs_test
