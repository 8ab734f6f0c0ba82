set(ZOP_UI_SETTINGS_SOURCES
  settings/SettingsDialog.cpp settings/SettingsDialog.h
  settings/MainWindowRefresh.h
)
