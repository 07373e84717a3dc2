// Header information of a form: the information block and title, colour table, header/footer block,
// memo, work information, dates, and how each call counts as a change.
#include "common/model/header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/model/attributes.h"
#include "common/model/header_ops.h"
#include "formstore.h"
#include "formstore/form.h"
#include "platform/env.h"
#include "support/form_fixture.h"

namespace {

class HeaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::strcpy(inf.Title, "Quarterly");
    inf.ReadOrder = 2;
    inf.Reserved0 = 0xA5;
    inf.Reserved[8] = 0x5A;
    ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  }
  void TearDown() override { QfaCloseForm(&h); }
  qs::Form& form() { return *qs::Form::FromHandle(&h); }

  qs_test::TempSite site;
  FormInf inf{};
  FormHandle h{};
};

TEST_F(HeaderTest, CreateStoresTheWholeRecordAndStartsUnchanged) {
  FormInf back{};
  char title[41] = "junk";
  EXPECT_EQ(QfaGetFormInf2(&h, &back, title), 0);
  EXPECT_EQ(std::memcmp(&back, &inf, sizeof inf), 0);
  EXPECT_STREQ(title, "");
  EXPECT_EQ(form().header().rec.version, 2);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 0);
}

TEST_F(HeaderTest, InfAndTitleRoundTripAndCountAsChanges) {
  FormInf next = inf;
  std::strcpy(next.Title, "Annual");
  next.ReadOrder = 0;
  EXPECT_EQ(QfaPutFormInf(&h, &next), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 1);
  FormInf back{};
  EXPECT_EQ(QfaGetFormInf(&h, &back), 0);
  EXPECT_EQ(std::memcmp(&back, &next, sizeof next), 0);

  EXPECT_EQ(QfaPutFormInf2(&h, &next, "Annual report"), 0);
  char title[41];
  QfaGetFormInf2(&h, &back, title);
  EXPECT_STREQ(title, "Annual report");
  EXPECT_EQ(QfaQueryFormUpdate(&h), 2);
}

TEST_F(HeaderTest, AnOverlongTitleIsCutAtFortyBytes) {
  const std::string long_title(300, 't');
  EXPECT_EQ(QfaPutFormInf2(&h, &inf, long_title.c_str()), 0);
  char title[41];
  FormInf back{};
  QfaGetFormInf2(&h, &back, title);
  EXPECT_EQ(std::string(title), std::string(40, 't'));
}

TEST_F(HeaderTest, ColourTableMapsColoursOnceItIsPut) {
  uint32_t colors[16];
  std::memset(colors, 0xEE, sizeof colors);
  EXPECT_EQ(QfaGetFormCColor(&h, colors), -1);
  EXPECT_EQ(colors[0], 0xEEEEEEEEu);  // left alone
  // Without a table the default VGA colours are used.
  EXPECT_EQ(qs::ColorOfIndex(form().header(), 12), 0x00FF0000u);
  EXPECT_EQ(qs::IndexOfColor(form().header(), 0x0000FFFFu), 11);
  EXPECT_EQ(qs::IndexOfColor(form().header(), 0x00123456u), 0);
  EXPECT_EQ(qs::ColorOfIndex(form().header(), 16), 0u);
  EXPECT_EQ(qs::ColorOfIndex(form().header(), -1), 0u);

  uint32_t mine[16];
  for (int i = 0; i < 16; ++i) mine[i] = 0x00010101u * uint32_t(i + 1);
  EXPECT_EQ(QfaPutFormCColor(&h, mine), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 1);
  uint32_t back[16];
  EXPECT_EQ(QfaGetFormCColor(&h, back), 0);
  EXPECT_EQ(std::memcmp(back, mine, sizeof mine), 0);
  EXPECT_EQ(qs::IndexOfColor(form().header(), 0x00030303u), 2);
  EXPECT_EQ(qs::IndexOfColor(form().header(), 0x00FF0000u), 0);  // not in the new table
  EXPECT_EQ(qs::ColorOfIndex(form().header(), 15), 0x00101010u);
}

TEST_F(HeaderTest, HeaderFooterIsKeptAsGivenEvenAllZero) {
  uint8_t block[360];
  EXPECT_EQ(QfaGetFormHeaderFooter(&h, block), -1);
  std::memset(block, 0, sizeof block);
  EXPECT_EQ(QfaPutFormHeaderFooter(&h, block), 0);
  uint8_t back[360];
  std::memset(back, 0x77, sizeof back);
  EXPECT_EQ(QfaGetFormHeaderFooter(&h, back), 0);
  EXPECT_EQ(std::memcmp(back, block, sizeof block), 0);
  for (int i = 0; i < 360; ++i) block[i] = uint8_t(i * 7);
  EXPECT_EQ(QfaPutFormHeaderFooter(&h, block), 0);
  EXPECT_EQ(QfaGetFormHeaderFooter(&h, back), 0);
  EXPECT_EQ(std::memcmp(back, block, sizeof block), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 2);
}

TEST_F(HeaderTest, MemoRules) {
  char buffer[2048] = "junk";
  EXPECT_EQ(QfaGetFormMemo(&h, buffer), -1);
  EXPECT_STREQ(buffer, "");

  EXPECT_EQ(QfaPutFormMemo(&h, "first"), 0);
  EXPECT_EQ(QfaPutFormMemo(&h, "second memo"), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 2);
  // An empty memo neither removes the memo nor counts.
  EXPECT_EQ(QfaPutFormMemo(&h, ""), 0);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 2);
  EXPECT_EQ(QfaGetFormMemo(&h, buffer), 0);
  EXPECT_STREQ(buffer, "second memo");

  // 2047 bytes is the most a saved file carries back; longer is refused and changes nothing.
  const std::string longest(2047, 'm');
  EXPECT_EQ(QfaPutFormMemo(&h, longest.c_str()), 0);
  EXPECT_EQ(QfaGetFormMemo(&h, buffer), 0);
  EXPECT_EQ(std::string(buffer), longest);
  const std::string too_long(2048, 'x');
  EXPECT_EQ(QfaPutFormMemo(&h, too_long.c_str()), -1);
  EXPECT_EQ(QfaGetFormMemo(&h, buffer), 0);
  EXPECT_EQ(std::string(buffer), longest);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 3);
}

TEST_F(HeaderTest, WorkInformationKeepsNothingButCountsAPut) {
  EXPECT_EQ(QfaGetWorkInf(&h, 1, 2), -1);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 0);
  EXPECT_EQ(QfaPutWorkInf(&h, 1, 2), -1);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 1);
}

TEST_F(HeaderTest, DatesAreUtcAndUpdateTouchesOnlyTheSecond) {
  qs::Header& header = form().header();
  header.rec.created = 951782400;  // 2000-02-29 00:00:00 UTC
  header.rec.updated = 951868799;  // 2000-02-29 23:59:59 UTC
  FormDateTime created{}, updated{};
  EXPECT_EQ(QfaGetFormDateTime(&h, &created, &updated), 0);
  EXPECT_EQ(created.Year, 2000);
  EXPECT_EQ(created.Month, 2);
  EXPECT_EQ(created.Day, 29);
  EXPECT_EQ(created.Hour, 0);
  EXPECT_EQ(updated.Day, 29);
  EXPECT_EQ(updated.Hour, 23);
  EXPECT_EQ(updated.Minute, 59);
  EXPECT_EQ(updated.Second, 59);

  const int32_t before = qs::NowSeconds();
  EXPECT_EQ(QfaUpdateFormDateTime(&h), 0);
  int32_t created_at = header.rec.created, updated_at = header.rec.updated;
  EXPECT_EQ(created_at, 951782400);
  EXPECT_GE(updated_at, before);
  EXPECT_EQ(QfaResetFormDateTime(&h), 0);
  created_at = header.rec.created;
  updated_at = header.rec.updated;
  EXPECT_GE(created_at, before);
  EXPECT_EQ(created_at, updated_at);
  EXPECT_EQ(QfaQueryFormUpdate(&h), 2);
}

TEST_F(HeaderTest, CreateTimesAreNowTwice) {
  FormDateTime created{}, updated{};
  QfaGetFormDateTime(&h, &created, &updated);
  EXPECT_EQ(std::memcmp(&created, &updated, sizeof created), 0);
  const qs::CalendarTime now = qs::UtcCalendar(qs::NowSeconds());
  EXPECT_EQ(created.Year, now.year);
}

// The font-slot rule over a form's pages.
TEST_F(HeaderTest, FontSlotsFillReuseUnusedAndRefuseWhenAllAreInUse) {
  qs::Form& f = form();
  ASSERT_EQ(f.InsertPage(0), 0);
  f.set_current_page(1);
  const char* names[5] = {"Alpha", "Beta", "Gamma", "Delta", "Epsilon"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(qs::FontNumberForName(f, names[i]), i + 1);
  EXPECT_EQ(qs::FontNumberForName(f, "Gamma"), 3);

  // Every number but 2 is used by some content of the page.
  qs::Page* page = f.PageAt(1);
  uint16_t id = 0;
  qs::CellAttr attr{};
  attr.font.b0 = 1;
  ASSERT_EQ(page->cell_attrs.Put(&id, attr), 0);
  auto text = std::make_unique<qs::TextRec>();
  text->font.b0 = uint8_t(3 | (5 << 3));
  page->texts.Store(0, std::move(text));
  for (int n : {4, 5}) {
    auto cell = std::make_unique<qs::FreCellRec>();
    cell->font.b0 = uint8_t(n);
    page->fre_cells.Store(0, std::move(cell));
  }
  EXPECT_EQ(qs::FontNumberForName(f, "Zeta"), 2);
  EXPECT_STREQ(f.header().rec.font_names[1], "Zeta");
  EXPECT_EQ(qs::FontNumberForName(f, "Alpha"), 1);
  // Now number 2 is taken by nothing either, but a freed attribute record does not count as use.
  attr.font.b0 = 2;
  uint16_t id2 = 0;
  ASSERT_EQ(page->cell_attrs.Put(&id2, attr), 0);
  EXPECT_EQ(qs::FontNumberForName(f, "Eta"), qs::kNoFontSlot);
  page->cell_attrs.Free(&id2);
  EXPECT_EQ(qs::FontNumberForName(f, "Eta"), 2);
  // Names are cut at 32 bytes, and a cut name finds its slot again.
  const std::string long_name(40, 'L');
  page->cell_attrs.Put(&id2, attr);
  page->texts.Free(1);
  EXPECT_EQ(qs::FontNumberForName(f, long_name.c_str()), 3);
  EXPECT_EQ(std::string(f.header().rec.font_names[2]), std::string(32, 'L'));
  EXPECT_EQ(qs::FontNumberForName(f, long_name.c_str()), 3);
}

TEST(FontPacking, RoundTripsEveryValueAndFallsBackToTheDefaultFace) {
  qs_test::TempSite site;
  FormHandle h{};
  FormInf inf{};
  ASSERT_EQ(QfaCreateForm(&h, &inf), 0);
  qs::Form& f = *qs::Form::FromHandle(&h);
  FontSpec wanted{};
  std::strcpy(wanted.FontName, "Mincho");
  wanted.Value5 = 31;
  wanted.Value3 = 5;
  wanted.ValueA = 2;
  wanted.ValueB = 3;
  wanted.ValueC = 1;
  qs::PackedFont packed{};
  ASSERT_EQ(qs::PackFont(f, wanted, &packed), 0);
  EXPECT_EQ(packed.number(), 1);
  FontSpec back{};
  qs::UnpackFont(f.header(), packed, &back);
  EXPECT_EQ(std::memcmp(&back, &wanted, sizeof wanted), 0);

  packed.b0 = uint8_t((packed.b0 & ~7) | 6);  // no slot 6
  qs::UnpackFont(f.header(), packed, &back);
  EXPECT_STREQ(back.FontName, qs::kDefaultFontName);
  EXPECT_EQ(std::string(qs::kDefaultFontName), "\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9");
  QfaCloseForm(&h);
}

}  // namespace
