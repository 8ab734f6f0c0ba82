set(ZOP_ENTRIES_SOURCES
  EntryTable.cpp EntryTable.h
  VipList.cpp VipList.h
  Duplicates.cpp Duplicates.h
)
