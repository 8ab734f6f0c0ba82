set(ZOP_UI_MAIN_SOURCES
  main/MainWindow.cpp main/MainWindowControls.cpp main/MainWindow.h
  main/KeyRouting.cpp main/KeyRouting.h
  main/ClosingCheck.cpp main/ClosingCheck.h
  main/PrizeRow.cpp main/PrizeRow.h
  main/WindowLayout.cpp main/WindowLayout.h
  main/RandomInputDialog.cpp main/RandomInputDialog.h
  main/VerifiableDrawDesk.cpp main/VerifiableDrawDesk.h
)
