#include "support/page_dump.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <vector>

#include "common/model/chart_ops.h"
#include "formstore/form.h"
#include "platform/env.h"

namespace qs_test {

namespace {

template <typename Record>
std::string Hex(const Record& r) {
  const auto* p = reinterpret_cast<const uint8_t*>(&r);
  std::string out;
  char two[3];
  for (size_t i = 0; i < sizeof r; ++i) {
    std::snprintf(two, sizeof two, "%02x", p[i]);
    out += two;
  }
  return out;
}

std::string Line(const ChartLine& l) {
  return std::to_string(l.Style) + "/" + std::to_string(l.Param) + "/" + std::to_string(l.Color);
}

// Attributes and text kept at a position that is not a cell's origin.
std::string RawCell(FormHandle* h, uint32_t entry, int row, int col) {
  qs::Form* form = qs::Form::FromHandle(h);
  form->set_current_page(h->CurPage + 1);
  qs::Page* page = form->CurrentPage();
  const qs::ChartRec* chart = qs::FindChart(*form, qs::PageData::FromValue(entry));
  if (page == nullptr || chart == nullptr) return "?";
  qs::CellAttr attr{};
  const int status = page->cell_attrs.Get(chart->cell_attr[row][col], &attr);
  return std::to_string(status) + " " + Hex(attr) + " '" +
         std::string(page->strings.View(chart->cell_text[row][col])) + "'";
}

std::string DumpChart(FormHandle* h, uint32_t entry) {
  std::ostringstream out;
  ChartInf inf{};
  out << "info " << QfaGetChartInf(h, entry, &inf) << " " << Hex(inf) << "\n";
  uint16_t hr1 = 0, hr2 = 0;
  QfaGetChartHR(h, entry, &hr1, &hr2);
  out << "hr " << hr1 << " " << hr2 << "\n";
  for (int r = 1; r <= inf.Rows; ++r) {
    uint16_t v = 0;
    QfaGetChartRHight(h, entry, uint16_t(r), &v);
    out << "height " << r << " " << v << "\n";
  }
  for (int c = 1; c <= inf.Cols; ++c) {
    uint16_t v = 0;
    QfaGetChartCWidth(h, entry, uint16_t(c), &v);
    out << "width " << c << " " << v << "\n";
  }
  for (int r = 1; r <= inf.Rows; ++r)
    for (int b = 0; b <= inf.Cols; ++b) {
      ChartLine l{};
      QfaGetChartVline(h, entry, uint16_t(r), uint16_t(b), &l);
      out << "vline " << r << "," << b << " " << Line(l) << "\n";
    }
  for (int b = 0; b <= inf.Rows; ++b)
    for (int c = 1; c <= inf.Cols; ++c) {
      ChartLine l{};
      QfaGetChartHline(h, entry, uint16_t(b), uint16_t(c), &l);
      out << "hline " << b << "," << c << " " << Line(l) << "\n";
    }
  for (int r = 1; r <= inf.Rows; ++r)
    for (int c = 1; c <= inf.Cols; ++c) {
      ChartCell cell{};
      char text[256] = {};
      const int status = QfaGetChartCell(h, entry, uint16_t(r), uint16_t(c), &cell, text);
      out << "cell " << r << "," << c << " " << status;
      if (status == 0) out << " " << Hex(cell) << " '" << text << "'";
      if (status == -2) out << " raw " << RawCell(h, entry, r, c);
      out << "\n";
    }
  return out.str();
}

std::string FileDigest(const char* path) {
  std::string contents;
  if (!qs::ReadWholeFile(qs::Env::Default(), path, &contents)) return "missing";
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char ch : contents) hash = (hash ^ ch) * 1099511628211ull;
  return std::to_string(contents.size()) + ":" + std::to_string(hash);
}

std::string DumpItem(FormHandle* h, uint16_t entry) {
  char text[256] = {};
  switch (entry & 0xFF) {
    case 1:
      return DumpChart(h, entry);
    case 2: {
      Text rec{};
      const int status = QfaGetText(h, entry, &rec, text);
      return std::to_string(status) + " " + Hex(rec) + " '" + text + "'";
    }
    case 3: {
      FreCell rec{};
      const int status = QfaGetFreCell(h, entry, &rec, text);
      return std::to_string(status) + " " + Hex(rec) + " '" + text + "'";
    }
    case 4: {
      Figure rec{};
      const int status = QfaGetFigure(h, entry, &rec);
      return std::to_string(status) + " " + Hex(rec);
    }
    case 5: {
      InsFigure rec{};
      const int status = QfaGetInsFigure(h, entry, &rec, text);
      return std::to_string(status) + " " + Hex(rec) + " " + FileDigest(text);
    }
    default:
      return "unknown kind";
  }
}

}  // namespace

PageDump DumpPage(FormHandle* h) {
  PageDump dump;
  const int count = QfaGetPageDataCount(h);
  std::vector<uint16_t> entries;
  for (int i = 1; i <= count; ++i) {
    uint16_t entry = 0;
    QfaGetPageData(h, i, &entry);
    entries.push_back(entry);
  }
  std::sort(entries.begin(), entries.end());
  std::string list = std::to_string(count) + ":";
  for (uint16_t entry : entries) {
    list += " " + std::to_string(entry & 0xFF) + "/" + std::to_string(entry >> 8);
    dump[entry] = DumpItem(h, entry);
  }
  dump[0] = list;
  return dump;
}

std::string DescribeDifference(const PageDump& expected, const PageDump& actual) {
  std::ostringstream out;
  for (const auto& [entry, want] : expected) {
    auto it = actual.find(entry);
    const std::string name =
        "item " + std::to_string(entry & 0xFF) + "/" + std::to_string(entry >> 8);
    if (it == actual.end()) {
      out << name << " missing\n";
      continue;
    }
    if (it->second == want) continue;
    std::istringstream a(want), b(it->second);
    std::string la, lb;
    while (true) {
      const bool more_a = bool(std::getline(a, la));
      const bool more_b = bool(std::getline(b, lb));
      if (!more_a && !more_b) break;
      if (la != lb || more_a != more_b) {
        out << name << ": expected [" << (more_a ? la : "") << "] got [" << (more_b ? lb : "")
            << "]\n";
        break;
      }
    }
  }
  for (const auto& [entry, got] : actual)
    if (expected.find(entry) == expected.end())
      out << "item " << (entry & 0xFF) << "/" << (entry >> 8) << " unexpected\n";
  return out.str();
}

}  // namespace qs_test
