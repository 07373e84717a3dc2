// qstore render: one page as an SVG picture.
#include "tools/qstore/render.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "tools/qstore/commands.h"
#include "tools/qstore/show.h"
#include "tools/qstore/status.h"
#include "tools/qstore/text.h"

namespace qstore::tool {

namespace {

std::string Base64(const std::string& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t v = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(v >> 18) & 63];
    out += kDigits[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[v & 63] : '=';
  }
  return out;
}

const char* MimeType(const std::string& format) {
  if (format == "svg") return "image/svg+xml";
  if (format == "jpeg") return "image/jpeg";
  return format == "png"   ? "image/png"
         : format == "gif" ? "image/gif"
         : format == "bmp" ? "image/bmp"
                           : "image/webp";
}

// Stroke attributes of a ruled line or outline style (0 draws nothing and is never passed here).
std::string Stroke(uint8_t style, uint32_t color) {
  std::string s = fmt::format("stroke=\"{}\"", ColorHex(color));
  switch (style) {
    case 2:
      return s + " stroke-width=\"2.5\"";
    case 3:
      return s + " stroke-width=\"1\" stroke-dasharray=\"6 3\"";
    case 4:
      return s + " stroke-width=\"1\" stroke-dasharray=\"1.5 2\"";
    case 5:
      return s + " stroke-width=\"3.5\"";
    default:
      return s + " stroke-width=\"1\"";
  }
}

std::string FontFamily(const FontSpec& font) {
  const std::string name = Shown(font.FontName, sizeof font.FontName);
  return XmlEscape(name.empty() ? "serif" : fmt::format("{}, serif", name));
}

class SvgPage {
 public:
  SvgPage(const PageInfo& page, int width_px) : page_(page) {
    Box extent{0, 0, 100, 100};
    auto grow = [&extent](int32_t right, int32_t bottom) {
      extent.right = std::max(extent.right, right);
      extent.bottom = std::max(extent.bottom, bottom);
    };
    for (const ChartInfo& c : page.charts) grow(+c.inf.Right, +c.inf.Bottom);
    for (const TextInfo& t : page.texts) grow(+t.rec.Right, +t.rec.Bottom);
    for (const TextInfo& t : page.free_cells) grow(+t.rec.Right, +t.rec.Bottom);
    for (const FigureInfo& f : page.figures) {
      const Box b = FigureBox(f.rec);
      grow(std::max(b.left, b.right), std::max(b.top, b.bottom));
    }
    for (const PictureInfo& p : page.pictures) {
      const Box b = PictureBox(p.rec);
      grow(std::max(b.left, b.right), std::max(b.top, b.bottom));
    }
    const double margin = std::max(extent.right, extent.bottom) * 0.03;
    units_w_ = extent.right + margin;
    units_h_ = extent.bottom + margin;
    scale_ = width_px / units_w_;
  }

  std::string Render() {
    out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out_ += fmt::format(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
        "width=\"{0:.0f}\" height=\"{1:.0f}\" viewBox=\"0 0 {0:.2f} {1:.2f}\" "
        "data-page=\"{2}\">\n",
        units_w_ * scale_, units_h_ * scale_, page_.number);
    out_ += "<rect class=\"page\" width=\"100%\" height=\"100%\" fill=\"#FFFFFF\"/>\n";
    // Drawn in the page's own list order, which is also the order items cover each other.
    size_t chart = 0, text = 0, cell = 0, figure = 0, picture = 0;
    for (const uint16_t entry : page_.order) {
      switch (entry & 0xFF) {
        case 1:
          if (chart < page_.charts.size()) DrawChart(page_.charts[chart++]);
          break;
        case 2:
          if (text < page_.texts.size()) DrawText(page_.texts[text++], false);
          break;
        case 3:
          if (cell < page_.free_cells.size()) DrawText(page_.free_cells[cell++], true);
          break;
        case 4:
          if (figure < page_.figures.size()) DrawFigure(page_.figures[figure++]);
          break;
        case 5:
          if (picture < page_.pictures.size()) DrawPicture(page_.pictures[picture++]);
          break;
        default:
          break;
      }
    }
    out_ += "</svg>\n";
    return out_;
  }

 private:
  double X(double units) const { return units * scale_; }

  void Label(const char* cls, double x, double y, double height, const FontSpec& font,
             uint32_t color, const std::string& sjis) {
    if (sjis.empty()) return;
    const double size = std::clamp(height * 0.6, 1.0, 18.0);
    out_ += fmt::format(
        "<text class=\"{}\" x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"{:.2f}\" font-family=\"{}\" "
        "fill=\"{}\" dominant-baseline=\"central\">{}</text>\n",
        cls, x, y, size, FontFamily(font), ColorHex(color), XmlEscape(ShowText(sjis)));
  }

  // One ruled line of a chart; `place` holds the data attributes that say which one.
  void Rule(const ChartLine& line, const char* cls, const std::string& place, double x1, double y1,
            double x2, double y2) {
    out_ += fmt::format(
        "<line class=\"{}\" {} x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" {}/>\n", cls,
        place, x1, y1, x2, y2, Stroke(+line.Style, +line.Color));
  }

  void DrawChart(const ChartInfo& chart) {
    const ChartInf& inf = chart.inf;
    std::vector<double> xs{static_cast<double>(+inf.Left)}, ys{static_cast<double>(+inf.Top)};
    for (const uint16_t w : chart.widths) xs.push_back(xs.back() + w);
    for (const uint16_t h : chart.heights) ys.push_back(ys.back() + h);
    for (double& x : xs) x = X(x);
    for (double& y : ys) y = X(y);
    out_ += fmt::format("<g class=\"chart\" data-no=\"{}\">\n", chart.entry >> 8);
    for (const CellInfo& cell : chart.cells) {
      if (cell.row < 1 || cell.col < 1 || cell.last_row < cell.row || cell.last_col < cell.col ||
          cell.last_row >= ys.size() || cell.last_col >= xs.size())
        continue;
      const double top = ys[cell.row - 1], bottom = ys[cell.last_row];
      Label("cell", xs[cell.col - 1] + X(4), (top + bottom) / 2, bottom - top, cell.attr.Font,
            +cell.attr.Color1, cell.text);
    }
    // No line where the style is 0: that is how merged cells show.
    for (size_t r = 0; r < chart.vlines.size() && r + 1 < ys.size(); ++r)
      for (size_t b = 0; b < chart.vlines[r].size() && b < xs.size(); ++b)
        if (chart.vlines[r][b].Style != 0)
          Rule(chart.vlines[r][b], "vline",
               fmt::format("data-row=\"{}\" data-boundary=\"{}\"", r + 1, b), xs[b], ys[r], xs[b],
               ys[r + 1]);
    for (size_t b = 0; b < chart.hlines.size() && b < ys.size(); ++b)
      for (size_t c = 0; c < chart.hlines[b].size() && c + 1 < xs.size(); ++c)
        if (chart.hlines[b][c].Style != 0)
          Rule(chart.hlines[b][c], "hline",
               fmt::format("data-boundary=\"{}\" data-col=\"{}\"", b, c + 1), xs[c], ys[b],
               xs[c + 1], ys[b]);
    out_ += "</g>\n";
  }

  void DrawText(const TextInfo& t, bool free_cell) {
    const Text& r = t.rec;
    const double left = X(+r.Left), top = X(+r.Top), right = X(+r.Right), bottom = X(+r.Bottom);
    if (free_cell)
      out_ += fmt::format(
          "<rect class=\"free-cell\" x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" "
          "height=\"{:.2f}\" fill=\"none\" {}/>\n",
          left, top, std::max(right - left, 0.0), std::max(bottom - top, 0.0),
          Stroke(1, +r.Color2));
    Label(free_cell ? "free-cell-text" : "text", left + X(4), (top + bottom) / 2, bottom - top,
          r.Font, +r.Color1, t.text);
  }

  void DrawFigure(const FigureInfo& f) {
    const Box b = FigureBox(f.rec);
    const double x1 = X(b.left), y1 = X(b.top), x2 = X(b.right), y2 = X(b.bottom);
    const std::string stroke =
        f.rec.Style == 0 ? "stroke=\"none\"" : Stroke(+f.rec.Style, +f.rec.Color1);
    const std::string fill = f.rec.Fill == 0 ? "none" : ColorHex(+f.rec.Color2);
    const double x = std::min(x1, x2), y = std::min(y1, y2);
    const double w = std::abs(x2 - x1), h = std::abs(y2 - y1);
    switch (+f.rec.Shape) {
      case 1:
        out_ += fmt::format(
            "<line class=\"figure\" x1=\"{:.2f}\" y1=\"{:.2f}\" x2=\"{:.2f}\" y2=\"{:.2f}\" {}/>\n",
            x1, y1, x2, y2, stroke);
        break;
      case 3:
        out_ += fmt::format(
            "<ellipse class=\"figure\" cx=\"{:.2f}\" cy=\"{:.2f}\" rx=\"{:.2f}\" ry=\"{:.2f}\" "
            "fill=\"{}\" {}/>\n",
            x + w / 2, y + h / 2, w / 2, h / 2, fill, stroke);
        break;
      default:
        out_ += fmt::format(
            "<rect class=\"figure\" x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" height=\"{:.2f}\" "
            "{}fill=\"{}\" {}/>\n",
            x, y, w, h, f.rec.Shape == 4 ? fmt::format("rx=\"{:.2f}\" ", std::min(w, h) / 8) : "",
            fill, stroke);
    }
  }

  void DrawPicture(const PictureInfo& p) {
    const Box b = PictureBox(p.rec);
    const double x = X(std::min(b.left, b.right)), y = X(std::min(b.top, b.bottom));
    const double w = X(std::abs(b.right - b.left)), h = X(std::abs(b.bottom - b.top));
    if (!p.format.empty()) {
      std::ifstream in(p.path, std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
      out_ += fmt::format(
          "<image class=\"picture\" x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" height=\"{:.2f}\" "
          "preserveAspectRatio=\"none\" xlink:href=\"data:{};base64,{}\"/>\n",
          x, y, w, h, MimeType(p.format), Base64(bytes));
      return;
    }
    // A format no browser shows: a labelled frame where the picture lies.
    out_ += fmt::format(
        "<g class=\"picture-frame\"><rect x=\"{:.2f}\" y=\"{:.2f}\" width=\"{:.2f}\" "
        "height=\"{:.2f}\" fill=\"#F4F4F4\" stroke=\"#808080\" stroke-dasharray=\"4 2\"/>"
        "<text x=\"{:.2f}\" y=\"{:.2f}\" font-size=\"11\" font-family=\"sans-serif\" "
        "fill=\"#404040\">picture {} ({} bytes)</text></g>\n",
        x, y, w, h, x + 4, y + 14, p.entry >> 8,
        p.size < 0 ? std::string("missing") : std::to_string(p.size));
  }

  const PageInfo& page_;
  double units_w_ = 0, units_h_ = 0, scale_ = 1;
  std::string out_;
};

}  // namespace

std::string RenderSvg(const PageInfo& page, int width_px) {
  return SvgPage(page, width_px).Render();
}

std::string DefaultSvgName(const std::string& path, int page) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                               ? path.substr(0, dot)
                               : path;
  return fmt::format("{}-p{}.svg", stem, page);
}

void WriteFile(const std::string& path, const std::string& contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << contents;
  out.close();
  if (!out) throw ToolError(path + ": cannot be written");
}

int RunRender(const RenderOptions& options) {
  if (options.width < 50 || options.width > 20000)
    throw ToolError(fmt::format("--width {} is outside 50..20000", options.width));
  std::unique_ptr<Reader> reader = OpenReader(options.file.path, options.file.Kind());
  const int count = reader->PageCount();
  if (options.page < 1 || options.page > count)
    throw ToolError(fmt::format("{}: no page {} (the file has {} pages)", options.file.path,
                                options.page, count));
  const std::string output =
      options.output.empty() ? DefaultSvgName(options.file.path, options.page) : options.output;
  WriteFile(output, RenderSvg(reader->Page(options.page), options.width));
  fmt::print("{}\n", output);
  return kExitOk;
}

}  // namespace qstore::tool
