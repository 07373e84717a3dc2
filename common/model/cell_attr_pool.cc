#include "common/model/cell_attr_pool.h"

#include "common/status.h"

namespace qs {

namespace {
// Both bytes of the packed font: no font in use is packed so.
constexpr uint8_t kFreeMark = 0xFF;
}  // namespace

bool CellAttrPool::IsFreedRecord(const CellAttr& rec) {
  return rec.font.b0 == kFreeMark && rec.font.b1 == kFreeMark;
}

CellAttrPool::CellAttrPool() = default;
CellAttrPool::~CellAttrPool() = default;

CellAttr* CellAttrPool::RecordFor(uint16_t id) const {
  if (id == 0) return nullptr;
  const auto& block = blocks_[(id - 1) / kBlockRecords];
  if (!block) return nullptr;
  return &block[(id - 1) % kBlockRecords];
}

int CellAttrPool::Get(uint16_t id, CellAttr* out) const {
  if (id == 0 || id > count_) return kRefused;
  const CellAttr* rec = RecordFor(id);
  if (rec == nullptr) return kRefused;
  *out = *rec;
  return kOk;
}

int CellAttrPool::Put(uint16_t* id, const CellAttr& rec) {
  uint16_t n = *id;
  if (n > count_) return kRefused;
  if (n == 0) {
    if (count_ < kMaxId) {
      n = uint16_t(count_ + 1);
    } else {
      // The first freed id from 1; every id below scan_from_ is known to be in use.
      for (int i = scan_from_; i <= kMaxId && n == 0; ++i) {
        const CellAttr* r = RecordFor(uint16_t(i));
        if (r && IsFreedRecord(*r)) n = uint16_t(i);
      }
      scan_from_ = n == 0 ? kMaxId + 1 : n + 1;
      if (n == 0) return kRefused;
    }
  }
  auto& block = blocks_[(n - 1) / kBlockRecords];
  if (!block) {
    block.reset(new CellAttr[kBlockRecords]());
  }
  block[(n - 1) % kBlockRecords] = rec;
  // A record that carries the free mark itself (as a damaged file may give) is free from now on.
  if (IsFreedRecord(rec) && n < scan_from_) scan_from_ = n;
  if (n > count_) count_ = n;
  *id = n;
  return kOk;
}

int CellAttrPool::Free(uint16_t* id) {
  if (*id == 0 || *id > count_) return kRefused;
  if (CellAttr* rec = RecordFor(*id)) {
    rec->font.b0 = kFreeMark;
    rec->font.b1 = kFreeMark;
  }
  if (*id < scan_from_) scan_from_ = *id;
  *id = 0;
  return kOk;
}

bool CellAttrPool::IsFree(uint16_t id) const {
  const CellAttr* rec = RecordFor(id);
  return rec == nullptr || id > count_ || IsFreedRecord(*rec);
}

int CellAttrPool::LiveCount() const {
  int live = 0;
  for (int i = 1; i <= count_; ++i)
    if (!IsFree(uint16_t(i))) ++live;
  return live;
}

}  // namespace qs
