#pragma once
// Resource and control ids.

#define IDR_MAINFRAME 128

#define IDD_ABOUTBOX 100
#define IDD_TOLVANE_VIEW 129
#define IDD_PASSWORD 205
#define IDD_PROGRESS 206
#define IDD_ADD_TO_ARCHIVE 207
#define IDD_CHECKSUMS 330

#define IDC_LOCATION_BOX 1001
#define IDC_CONTENT_LIST 1002
#define IDC_PATH_FIELD 1003
#define IDC_PASSWORD_EDIT 1004
#define IDC_PROGRESS_BAR 1005
#define IDC_PROGRESS_LABEL 1006
#define IDC_ARCHIVE_NAME 1007
#define IDC_BROWSE 1008
#define IDC_ADD_PASSWORD 1009
#define IDC_ADD_PASSWORD_AGAIN 1010
// The creation choices of the "Add To Archive" dialog.
#define IDC_SHOW_PASSWORD 1200
#define IDC_ARCHIVE_FORMAT 1201
#define IDC_COMPRESSION_LEVEL 1202
#define IDC_COMPRESSION_METHOD 1203
#define IDC_VOLUME_SIZE 1204
#define IDC_UPDATE_MODE 1205
#define IDC_ENCRYPTION_METHOD 1206
#define IDC_SOLID_ARCHIVE 1207
#define IDC_ENCRYPT_NAMES 1208
#define IDC_DELETE_AFTER 1209
#define IDC_CHOICE_NOTE 1210
#define IDC_CHECKSUM_TEXT 1211
#define IDC_CHECKSUM_COPY 1212
// The password prompt: what it asks (naming the archive), and its "Show password" box.
#define IDC_PASSWORD_PROMPT 1213
#define IDC_PASSWORD_SHOW 1214

#define ID_ADD_FILES 32775
#define ID_EXTRACT_FILES 32776
#define ID_DELETE_FILES 32777

// The menu bar, and the toolbar's images drawn for larger screens (48 and 64 pixels a button).
#define IDR_MENU_BAR 300
#define IDB_TOOLBAR_48 301
#define IDB_TOOLBAR_64 302

// Commands beside the three above, shared by the menu bar, the list's context menu and the view.
#define ID_OPEN_ITEM          32780   // Open (Enter)
#define ID_EXTRACT_HERE       32781
#define ID_EXTRACT_TO_FOLDER  32782   // Extract to "<archive name>\"
#define ID_TEST_ARCHIVE       32783
#define ID_RENAME_ITEM        32784   // F2
#define ID_NEW_FOLDER         32785
#define ID_COPY_PATH          32786
#define ID_PROPERTIES         32787   // Alt+Enter
#define ID_GO_UP              32788   // Backspace, Alt+Up
#define ID_GO_BACK            32789   // Alt+Left
#define ID_GO_FORWARD         32790   // Alt+Right
#define ID_VIEW_REFRESH       32791   // F5
#define ID_SELECT_ALL         32792   // Ctrl+A
#define ID_FOCUS_PATH         32793   // Alt+D, Ctrl+L
#define ID_OPEN_ARCHIVE_FILE  32794   // File > Open archive...
#define ID_CHECKSUM_CRC32     32800
#define ID_CHECKSUM_CRC64     32801
#define ID_CHECKSUM_SHA1      32802
#define ID_CHECKSUM_SHA256    32803
#define ID_CHECKSUM_ALL       32804   // "Checksums..." (all the engine offers)
#define ID_OPEN_AS_ARCHIVE    32810   // open a file (e.g. an .exe) as an archive

// Extraction choices and adding into the open archive.
#define ID_EXTRACT_OPTIONS 32840
#define ID_ADD_FILES_INTO 32841
#define ID_ADD_FOLDER_INTO 32842

// Sorting without a mouse: View > Sort by, one command per column title.
#define ID_SORT_BY_NAME 33250
#define ID_SORT_BY_SIZE 33251
#define ID_SORT_BY_PACKED 33252
#define ID_SORT_BY_TYPE 33253
#define ID_SORT_BY_MODIFIED 33254

// The dialogs of those commands and their controls.
#define IDD_EXTRACT_OPTIONS 310
#define IDD_REPLACE_QUESTION 311
#define IDD_TEST_REPORT 312
#define IDD_NAME_PROMPT 313
#define IDD_PROPERTIES 314

#define IDC_OPEN_DESTINATION 1150
#define IDC_KEEP_FOLDERS 1151
#define IDC_REPLACE_PATH 1152
#define IDC_REPLACE_EXISTING 1153
#define IDC_REPLACE_ITEM 1154
#define IDC_YES_TO_ALL 1155
#define IDC_NO_TO_ALL 1156
#define IDC_RENAME 1157
#define IDC_REPORT_TEXT 1158
#define IDC_NAME_LABEL 1159
#define IDC_NAME_EDIT 1160
#define IDC_PROPERTY_LIST 1161

// The Extract dialog, and the mark of the web in the Extraction Options.
#define IDD_EXTRACT 410
#define IDC_EXTRACT_DESTINATION 1350
#define IDC_EXTRACT_BROWSE 1351
#define IDC_EXTRACT_NEW_FOLDER 1352
#define IDC_EXTRACT_PATH_MODE 1353
#define IDC_EXTRACT_EXISTING 1354
#define IDC_EXTRACT_PASSWORD 1355
#define IDC_EXTRACT_SHOW_PASSWORD 1356
#define IDC_EXTRACT_OPEN_DESTINATION 1357
#define IDC_EXTRACT_ZONE_MARKING 1358
// Finding entries by name, and selecting rows by pattern.
#define ID_FIND_IN_ARCHIVE     33150   // Ctrl+F
#define ID_SELECT_BY_PATTERN   33151   // Num +
#define ID_DESELECT_BY_PATTERN 33152   // Num -
#define ID_INVERT_SELECTION    33153   // Num *
#define IDD_FIND 430
#define IDC_FIND_PATTERN 1450
#define IDC_FIND_RESULTS 1451
#define IDC_FIND_COUNT 1452
#define IDC_FIND_GO 1453
// Choosing the list's columns.
#define ID_CHOOSE_COLUMNS 33154
#define IDD_COLUMNS 431
#define IDC_COLUMNS_SHOWN 1460
#define IDC_COLUMNS_HIDDEN 1461
#define IDC_COLUMNS_SHOW 1462
#define IDC_COLUMNS_HIDE 1463
#define IDC_COLUMNS_UP 1464
#define IDC_COLUMNS_DOWN 1465
// Smart extraction, and Tools > Options with its pages.
#define ID_EXTRACT_SMART      33000   // Extract Here (Smart)
#define ID_TOOLS_OPTIONS      33001   // Tools > Options...
#define IDD_OPTIONS_INTEGRATION 400
#define IDC_OPTIONS_TYPES     1300
#define IDC_OPTIONS_CASCADED  1301
#define IDC_OPTIONS_MENU_FIRST 1310   // one check box per context-menu item, in MenuItemBit order
#define IDC_OPTIONS_MENU_LAST  1319
// View > Name encoding: "Automatic", then one id per code page of the menu's table (up to 33149).
#define ID_NAME_ENCODING_AUTO 33100
#define ID_NAME_ENCODING_FIRST 33101
#define ID_NAME_ENCODING_LAST 33149
// View > Language: "English", then one id per language module found beside the program; each
// module names its language in its string IDS_LANGUAGE_NAME.
#define ID_LANGUAGE_FIRST 33460
#define ID_LANGUAGE_LAST 33479
#define IDS_LANGUAGE_NAME 34400
// Texts the program puts together in code, in the string table for translation (%1, %2: what
// is filled in).
#define IDS_ONE_BYTE 34401
#define IDS_BYTES 34402
#define IDS_NO_ITEMS 34403
#define IDS_ONE_ITEM 34404
#define IDS_ITEMS 34405
#define IDS_SELECTED 34406
#define IDS_SOLID 34407
#define IDS_NOT_SOLID 34408
#define IDS_NOT_ENCRYPTED 34409
#define IDS_ENCRYPTED 34410
#define IDS_SOME_ENCRYPTED 34411
#define IDS_DAMAGED 34412
#define IDS_NOTHING_FOUND 34413
#define IDS_ONE_FOUND 34414
#define IDS_FOUND 34415
#define IDS_EXTRACT_TO_FOLDER 34416
#define IDS_EXTRACT_TO_NAMED_FOLDER 34417
#define IDS_OPTIONS_CAPTION 34418
// The right-click menu's texts of the commands, and the toolbar buttons' labels.
#define IDS_MENU_OPEN 34420
#define IDS_MENU_ADD 34421
#define IDS_MENU_EXTRACT 34422
#define IDS_MENU_EXTRACT_HERE 34423
#define IDS_MENU_EXTRACT_TO_FOLDER 34424
#define IDS_MENU_EXTRACT_SMART 34425
#define IDS_MENU_DELETE 34426
#define IDS_MENU_RENAME 34427
#define IDS_MENU_NEW_FOLDER 34428
#define IDS_MENU_PROPERTIES 34429
#define IDS_MENU_COPY_PATH 34430
#define IDS_MENU_REFRESH 34431
#define IDS_MENU_TEST 34432
#define IDS_TOOLBAR_ADD 34440
#define IDS_TOOLBAR_EXTRACT 34441
#define IDS_TOOLBAR_DELETE 34442
// What the view's commands tell and ask.
#define IDS_NOT_SUPPORTED 34450
#define IDS_OPEN_ARCHIVE_FIRST 34451
#define IDS_NO_FILES_SELECTED 34452
#define IDS_DELETE_ONE_QUESTION 34453
#define IDS_DELETE_MANY_QUESTION 34454
#define IDS_RENAME_CAPTION 34455
#define IDS_RENAME_LABEL 34456
#define IDS_NEW_FOLDER_CAPTION 34457
#define IDS_NEW_FOLDER_LABEL 34458
#define IDS_PICK_FOLDER_TO_ADD 34459
#define IDS_ADD_FILES_TO 34460
#define IDS_CLIPBOARD_FAILED 34461
#define IDS_NOT_VALID_ARCHIVE 34462
#define IDS_PROPERTIES_UNREADABLE 34463
#define IDS_PROPERTIES_UNREADABLE_BECAUSE 34464
#define IDS_PROPERTIES_TITLE 34465
#define IDS_NAME_TAKEN 34466
#define IDS_RENAME_FAILED 34467
#define IDS_NEW_FOLDER_FAILED 34468
#define IDS_REPLACE_QUESTION 34469
// The dialogs' captions, list columns and choices set in code.
#define IDS_FIND_CAPTION 34470
#define IDS_COLUMNS_CAPTION 34471
#define IDS_CHECKSUMS_CAPTION 34472
#define IDS_CHECKSUMS_CLIPBOARD_FAILED 34473
#define IDS_COLUMN_NAME 34474
#define IDS_COLUMN_FOLDER 34475
#define IDS_COLUMN_PROPERTY 34476
#define IDS_COLUMN_VALUE 34477
#define IDS_ENTER_PASSWORD 34478
#define IDS_ENTER_PASSWORD_FOR 34479
#define IDS_WRONG_PASSWORD 34480
#define IDS_PATHS_FULL 34481
#define IDS_PATHS_NONE 34482
#define IDS_PATHS_RELATIVE 34483
#define IDS_EXISTING_ASK 34484
#define IDS_EXISTING_REPLACE 34485
#define IDS_EXISTING_SKIP 34486
#define IDS_EXISTING_RENAME_NEW 34487
#define IDS_EXISTING_RENAME_OLD 34488
#define IDS_MARK_ALL 34489
#define IDS_MARK_SOME 34490
#define IDS_MARK_NONE 34491
#define IDS_NO_DESTINATION 34492
// The texts of Add To Archive and of the file pickers.
#define IDS_MODE_ADD 34493
#define IDS_MODE_UPDATE 34494
#define IDS_MODE_FRESHEN 34495
#define IDS_MODE_SYNCHRONIZE 34496
#define IDS_VOLUME_NOT_UNDERSTOOD 34497
#define IDS_PASSWORDS_DIFFER 34498
#define IDS_PASSWORD_REFUSED 34499
#define IDS_BROWSE_CAPTION 34500
#define IDS_ALL_FILES 34501
#define IDS_OPEN_ARCHIVE_CAPTION 34502
#define IDS_ARCHIVES_FILTER 34503
#define IDS_ALL_FILES_FILTER 34504
#define IDS_MODIFIED 34505

// The framework's standard command ids.
#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_FILE_SAVE_AS 57604
#define ID_FILE_PRINT_SETUP 57606
#define ID_FILE_PRINT 57607
#define ID_FILE_PRINT_PREVIEW 57609
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_VIEW_TOOLBAR 59392
#define ID_VIEW_STATUS_BAR 59393
#define ATL_IDS_IDLEMESSAGE 57345

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
