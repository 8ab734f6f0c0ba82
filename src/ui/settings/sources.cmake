set(ZOP_UI_SETTINGS_SOURCES
  settings/Form2.cpp settings/Form2.h
  settings/MainWindowRefresh.h
)
