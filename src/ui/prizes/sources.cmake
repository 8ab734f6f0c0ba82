set(ZOP_UI_PRIZES_SOURCES
  prizes/PrizeEditor.cpp prizes/PrizeEditor.h
  prizes/PrizeChooser.cpp prizes/PrizeChooser.h
)
