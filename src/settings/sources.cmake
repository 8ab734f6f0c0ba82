set(ZOP_SETTINGS_SOURCES
  TextCodec.cpp TextCodec.h
  INIFileModule1.cpp INIFileModule1.h
  zopValstr.cpp zopValstr.h
  Settings.cpp Settings.h
  AppLocation.cpp AppLocation.h
)
