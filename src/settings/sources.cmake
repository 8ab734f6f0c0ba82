set(ZOP_SETTINGS_SOURCES
  TextCodec.cpp TextCodec.h
  Gb18030.cpp Gb18030.h Gb18030Table.cpp Gb18030Table.h
  IniFile.cpp IniFile.h
  ValueText.cpp ValueText.h
  Settings.cpp Settings.h
  AppLocation.cpp AppLocation.h
)
