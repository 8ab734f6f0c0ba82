# The stage: the audience's full-screen view of a draw.
set(ZOP_UI_STAGE_SOURCES
  stage/StageScreen.cpp stage/StageScreen.h
  stage/StageCardGrid.cpp stage/StageCardGrid.h
  stage/StageLayout.cpp stage/StageLayout.h
  stage/StagePainting.cpp stage/StagePainting.h
  stage/StagePhotos.cpp stage/StagePhotos.h
  stage/GlyphCache.cpp stage/GlyphCache.h
  stage/StageView.cpp stage/StageView.h
  stage/StageDrawView.cpp stage/StageDrawView.h
  stage/StageWindow.cpp stage/StageWindow.h
  stage/ClickerKeys.cpp stage/ClickerKeys.h
)
