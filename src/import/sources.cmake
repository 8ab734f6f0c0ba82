# Rosters from spreadsheets: Qt Core and minizip.
set(ZOP_IMPORT_SOURCES
  RosterSheet.cpp RosterSheet.h
  CellFormat.cpp CellFormat.h
  ZipArchive.cpp ZipArchive.h
  XlsxReader.cpp XlsxReader.h
  CsvReader.cpp CsvReader.h
  RosterReader.cpp RosterReader.h
  RosterImport.cpp RosterImport.h
  ImportCommand.cpp ImportCommand.h
)
