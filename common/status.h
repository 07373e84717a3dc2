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
  // Cell get: the position keeps attributes but begins no cell (a line was taken away). The same
  // number as kEdge, which callers of the cell get have always seen.
  kNotAnOrigin = -2,

  // Adding a field placement (formstore):
  kNoSuchField = -2,        // the field is not defined
  kPlaceTaken = -3,         // a field is placed there already
  kFieldNotPlaceable = -4,  // its enclosing structure is none that can be placed
  kPlacementsFull = -5,     // the page's placement list is full

  kNoWorkFile = -2,   // document creation: the work file could not be made
  kNoDocState = -10,  // document opening: the document state could not be made

  // Undo journal only; never returned by an export. Taking back an entry: the current step has no
  // further entry (a positive value, as it ends the step normally), and a picture file could not be
  // copied into or out of the journal.
  kStepEnd = 1,
  kJournalPicture = -2,

  kPageNoMemory = -100,  // page creation: no memory
  kPageLimit = -101,     // page creation: page limit reached

  // The prohibited-character check (docstore). Set-up failures:
  kCheckLogOpen = -1001,           // the log file could not be opened
  kCheckGroupSglKatakana = -2001,  // a group of "prohibit.ini" lacks a valid Start or End; the
  kCheckGroupDblAlnum1 = -2002,    // five groups in the order they are read
  kCheckGroupDblAlnum2 = -2003,
  kCheckGroupDblAlnum3 = -2004,
  kCheckGroupSglAlnum = -2005,
  kCheckNoIni = -2009,         // "prohibit.ini" not found
  kCheckNoTable = -2050,       // neither the user's nor the master "pbrepl.csv" exists
  kCheckTableCopy = -2051,     // the master "pbrepl.csv" could not be copied for the user
  kCheckPluginLoad = -2097,    // the plug-in is missing, not loadable or lacks an entry point
  kCheckPluginInit = -2098,    // the plug-in's PsInit failed
  kCheckPluginGroups = -2099,  // the plug-in's PsGroupLoad failed
  // Run failures:
  kCheckPageData = -3001,      // a page-data entry could not be read
  kCheckChartInf = -3010,      // a chart's information could not be read
  kCheckChartCell = -3012,     // a chart cell could not be written
  kCheckTextRead = -3020,      // a text could not be read
  kCheckDocInf = -3021,        // the information block could not be read
  kCheckUnboundText = -3022,   // a text unbound from the title could not be written
  kCheckTitle = -3023,         // the title could not be written
  kCheckTextWrite = -3024,     // a text could not be written
  kCheckFreCellRead = -3030,   // a free cell could not be read
  kCheckFreCellWrite = -3031,  // a free cell could not be written
};

}  // namespace qs

#endif  // QSTORE_COMMON_STATUS_H_
