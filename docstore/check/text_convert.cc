#include "docstore/check/text_convert.h"

#include "platform/env.h"

namespace qs {

namespace {

constexpr std::string_view kRunOpen = "<hwf>";
constexpr std::string_view kRunClose = "</hwf>";
constexpr std::string_view kCombining = "<bs/>";

// The converted text, built under a length limit. Once a piece does not fit, nothing more is
// added, so the result is always a prefix of the full conversion made of whole pieces.
class BoundedOutput {
 public:
  BoundedOutput(size_t limit, std::string* out) : limit_(limit), out_(*out) { out_.clear(); }

  void Append(std::string_view piece) {
    if (full_) return;
    if (out_.size() + piece.size() > limit_) {
      full_ = true;
      return;
    }
    out_.append(piece);
  }

  // Adds a piece to the pending run only when the run can still be closed within the limit.
  void AppendToRun(std::string_view piece) {
    if (full_) return;
    const size_t opened = run_.empty() ? kRunOpen.size() : run_.size();
    if (out_.size() + opened + piece.size() + kRunClose.size() > limit_) {
      full_ = true;
      return;
    }
    if (run_.empty()) run_.assign(kRunOpen);
    run_.append(piece);
  }

  void CloseRun() {
    if (run_.empty()) return;
    out_.append(run_);
    out_.append(kRunClose);
    run_.clear();
  }

 private:
  size_t limit_;
  std::string& out_;
  std::string run_;
  bool full_ = false;
};

enum class Outcome { kNone, kReport, kReplace };

}  // namespace

bool TextConverter::Convert(std::string_view in, size_t limit, std::string* out) {
  BoundedOutput output(limit, out);
  bool replaced_any = false;
  std::string replacement;
  for (size_t i = 0; i < in.size();) {
    const uint8_t b0 = static_cast<uint8_t>(in[i]);
    // A lead byte at the very end has no trail byte: it stands alone.
    const bool two = IsSjisLeadByte(b0) && i + 1 < in.size();
    const std::string_view ch = in.substr(i, two ? 2 : 1);
    i += ch.size();
    const uint16_t code = two ? static_cast<uint16_t>(b0 * 256 + static_cast<uint8_t>(ch[1])) : b0;

    Outcome outcome = Outcome::kNone;
    bool kana = false;
    bool combining = false;
    replacement.clear();

    if (two && (check_mask_ & kCategoryWide)) {
      for (int g = kDblAlnum1; g <= kDblAlnum3; ++g) {
        if (!groups_[g].Contains(code)) continue;
        found_mask_ |= kCategoryWide;
        const std::string_view entry = groups_[g].Entry(code, 2);
        replacement.assign(entry);
        outcome = !entry.empty() && (replace_mask_ & kCategoryWide) ? Outcome::kReplace
                                                                    : Outcome::kReport;
        break;
      }
    } else if (!two && (check_mask_ & kCategoryKana) && groups_[kSglKatakana].Contains(code)) {
      const ProhibitGroup& g = groups_[kSglKatakana];
      found_mask_ |= kCategoryKana;
      kana = true;
      const std::string_view entry = g.Entry(code, 2);
      replacement.assign(entry);
      if (g.Combines(b0)) {
        replacement.append(kCombining);
        combining = true;
      }
      outcome =
          !entry.empty() && (replace_mask_ & kCategoryKana) ? Outcome::kReplace : Outcome::kReport;
    }

    if (outcome == Outcome::kNone && (check_mask_ & kCategorySpecial) && special_ != nullptr &&
        special_->Judge(ch, &replacement)) {
      found_mask_ |= kCategorySpecial;
      outcome = (replace_mask_ & kCategorySpecial) && replacement != ch ? Outcome::kReplace
                                                                        : Outcome::kReport;
      if (sink_ != nullptr) sink_->SpecialMet(ch, code, outcome == Outcome::kReplace);
    }

    // Only a replaced katakana that does not combine continues a run; anything else closes it
    // first, so the text keeps its order.
    const bool joins_run = outcome == Outcome::kReplace && kana && !combining;
    if (!joins_run) output.CloseRun();
    if (joins_run) {
      output.AppendToRun(replacement);
    } else if (outcome == Outcome::kReplace) {
      output.Append(replacement);
    } else {
      output.Append(ch);
    }
    replaced_any = replaced_any || outcome == Outcome::kReplace;
  }
  output.CloseRun();
  return replaced_any;
}

}  // namespace qs
