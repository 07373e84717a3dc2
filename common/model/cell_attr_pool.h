// The attribute records of one page's chart cells under 16-bit ids 1..65535.
//
// Records live in blocks of 256 created on first use and kept until the page goes. A freed record
// is marked by 0xFFFF in its packed font, a value no record in use carries; freed ids are reused
// only once the counter has reached its limit.
#ifndef QSTORE_COMMON_MODEL_CELL_ATTR_POOL_H_
#define QSTORE_COMMON_MODEL_CELL_ATTR_POOL_H_

#include <cstdint>
#include <memory>

#include "common/model/stored_records.h"

namespace qs {

class CellAttrPool {
 public:
  static constexpr int kMaxId = 65535;
  static constexpr int kBlockRecords = 256;

  CellAttrPool();
  ~CellAttrPool();
  CellAttrPool(const CellAttrPool&) = delete;
  CellAttrPool& operator=(const CellAttrPool&) = delete;

  // kRefused for id 0 or an id above the counter.
  int Get(uint16_t id, CellAttr* out) const;
  // Stores `rec` under *id, giving out a new id when *id is 0. kRefused when none is free or *id
  // lies above the counter. Throws std::bad_alloc.
  int Put(uint16_t* id, const CellAttr& rec);
  // Marks *id free and sets it to 0; kRefused for id 0 or an id above the counter.
  int Free(uint16_t* id);

  uint16_t count() const { return count_; }
  bool IsFree(uint16_t id) const;
  // True for a record that carries the free mark: one the pool has freed, or one read from a file
  // that no cell in use can have.
  static bool IsFreedRecord(const CellAttr& rec);
  int LiveCount() const;

 private:
  CellAttr* RecordFor(uint16_t id) const;

  uint16_t count_ = 0;
  int scan_from_ = 1;  // lowest id that may be free once the counter is at its limit
  std::unique_ptr<CellAttr[]> blocks_[(kMaxId + kBlockRecords) / kBlockRecords];
};

}  // namespace qs

#endif  // QSTORE_COMMON_MODEL_CELL_ATTR_POOL_H_
