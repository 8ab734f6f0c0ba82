set(ZOP_UI_EDITOR_SOURCES
  editor/ColouredFrame.cpp editor/ColouredFrame.h
  editor/RowListModel.cpp editor/RowListModel.h
  editor/EntryListModel.cpp editor/EntryListModel.h
  editor/DataFileEditor.cpp editor/DataFileEditor.h
  editor/VipListModel.cpp editor/VipListModel.h
  editor/RosterPreviewModel.cpp editor/RosterPreviewModel.h
  editor/RosterImportDialog.cpp editor/RosterImportDialog.h
)
