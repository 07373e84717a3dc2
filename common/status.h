// The statuses that the exported calls return. Positive values report file and data conditions,
// negative ones refusals and limits; 0 is success.
#ifndef QSTORE_COMMON_STATUS_H_
#define QSTORE_COMMON_STATUS_H_

namespace qs {

enum Status : int {
  kOk = 0,
  kNotFound = 100,          // file not found (QdaAddInsFigure: picture source missing)
  kCannotOpen = 101,        // file cannot be opened or created
  kDamaged = 102,           // damaged file or short record
  kVersionTooNew = 103,     // form header version newer than 2
  kNoFontSlot = 104,        // no free font-name slot
  kTemplateMissing = 105,   // field-definition template not found or unreadable
  kPlacementLeaves = 106,   // table placement refused: it would leave its chart
  kPlacementNoFirst = 107,  // table placement refused: no first placement
  kNoPages = 108,           // save refused: no pages
  kNoMemory = 201,          // out of memory
  kPictureCopy = 301,       // picture file cannot be copied
  kInfDiffers = 501,        // concatenation refused: the documents' information differs

  kRefused = -1,  // missing item, position out of range, table full, journalling not started
  kEdge = -2,     // cell traversal: already at the chart's edge
  kNoCell = -3,   // cell traversal: no cell that way

  kNoWorkFile = -2,   // document creation: the work file could not be made
  kNoDocState = -10,  // document opening: the document state could not be made

  kPageNoMemory = -100,  // page creation: no memory
  kPageLimit = -101,     // page creation: page limit reached
};

}  // namespace qs

#endif  // QSTORE_COMMON_STATUS_H_
