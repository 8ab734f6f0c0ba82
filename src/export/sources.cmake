# The event's results as a spreadsheet: Qt Core and libxlsxwriter.
set(ZOP_EXPORT_SOURCES
  ResultExport.cpp ResultExport.h
)
