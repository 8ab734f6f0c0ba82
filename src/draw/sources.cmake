# Draw state, selection, random numbers and the result file: Qt Core only.
set(ZOP_DRAW_SOURCES
  RunData.cpp RunData.h
  DrawRandom.cpp DrawRandom.h
  DrawPreparation.cpp DrawPreparation.h
  ResultFile.cpp ResultFile.h
  WinnerList.cpp WinnerList.h
  EventWinners.cpp EventWinners.h
  RankTree.cpp RankTree.h
  VerifiableSelection.cpp VerifiableSelection.h
  VerifiableRecord.cpp VerifiableRecord.h
  RecordVerification.cpp RecordVerification.h
  VerifiableDraw.cpp VerifiableDraw.h
  InterruptedDraw.cpp InterruptedDraw.h
  AbsenceRecord.cpp AbsenceRecord.h
  PrizeList.cpp PrizeList.h
  EventResults.cpp EventResults.h
)
