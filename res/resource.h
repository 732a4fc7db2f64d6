// Identifiers shared by the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The notice for a missing Java runtime.
#define IDD_JAVA_NOTICE 100
#define IDC_NOTICE_ICON 101
#define IDC_NOTICE_TEXT1 102
#define IDC_NOTICE_TEXT2 103
#define IDC_NOTICE_TEXT3 104
#define IDC_NOTICE_LINK 105
#define IDC_NOTICE_TEXT5 106
#define IDC_NOTICE_TEXT6 107

// The main window's pictures: one strip of seven 16 x 16 images, magenta transparent.
#define IDB_PICTURES16 200
#define IDB_PICTURES24 201
#define IDB_PICTURES32 202

// Commands of the main window; the toolbar uses the menu's ids.
#define IDM_PLAY 300
#define IDM_DELETE 301
#define IDM_IMPORT 302
#define IDM_EXIT 303
#define IDM_BUGREPORTER 304
#define IDM_PREFS 305
#define IDM_HELP 306
#define IDM_ABOUT 307
#define IDM_HOMEPAGE 308
#define IDM_MORE_PUZZLES 309
#define IDM_CHECKFORUPDATE 310
#define IDM_KNOWLEDGEBASE 311
#define IDM_SUPPORT 312
#define IDM_SHOW_IN_FOLDER 313
#define IDM_RENAME 314

// Controls of the main window.
#define IDC_MAIN_TOOLBAR 400
#define IDC_MAIN_STATUS 401
#define IDC_MAIN_PANEL 402
#define IDC_MAIN_LIST 403
#define IDC_MAIN_SEARCH 404

// The import dialog.
#define IDD_IMPORT 500
#define IDC_IMPORT_PANEL 501
#define IDC_IMPORT_LIST 502
#define IDC_IMPORT_SELECT 503
#define IDC_IMPORT_CLEAR 504
// OK has an id of its own: Enter, which the dialog manager turns into IDOK, must not import.
#define IDC_IMPORT_OK 505
#define IDC_IMPORT_PROGRESS 506
#define IDC_IMPORT_PROGRESS_TEXT 507
#define IDC_IMPORT_COLLECTION 508

// The Select JRE dialog.
#define IDD_SCAN 600
#define IDC_SCAN_LABEL1 601
#define IDC_SCAN_PANEL 602
#define IDC_SCAN_STATUS 603
#define IDC_SCAN_PATH 604
#define IDC_SCAN_ANIMATION 605
#define IDC_SCAN_PATHS 606

// The preferences dialog.
#define IDD_PREFS 700
#define IDC_PREFS_NOSOUND 701
#define IDC_PREFS_ALLUSERS 702
#define IDC_PREFS_LABEL2 703
#define IDC_PREFS_LABEL1 704
#define IDC_PREFS_REPOSITORY 705
#define IDC_PREFS_BROWSE 706
#define IDC_PREFS_LABEL3 707
#define IDC_PREFS_JAVAPATH 708
#define IDC_PREFS_JAVA 709
#define IDC_PREFS_SCAN 710
#define IDC_PREFS_HELP 711
#define IDC_PREFS_JAVAVERSION 712

// The folder chooser.
#define IDD_FOLDER_CHOOSER 800
#define IDC_BROWSE_LABEL1 801
#define IDC_BROWSE_TREE 802
#define IDC_BROWSE_LABEL2 803
#define IDC_BROWSE_PATH 804

// Download More Puzzles.
#define IDD_DOWNLOAD 900
#define IDC_DOWNLOAD_TEXT1 902
#define IDC_DOWNLOAD_LINK1 903
#define IDC_DOWNLOAD_LINK2 904
#define IDC_DOWNLOAD_LINK3 905
#define IDC_DOWNLOAD_TEXT2 906
#define IDC_DOWNLOAD_LINK4 907
#define IDC_DOWNLOAD_LINK5 908

// The about box.
#define IDD_ABOUT 1000
#define IDC_ABOUT_LOGO 1002
#define IDC_ABOUT_PRODUCTNAME 1003
#define IDC_ABOUT_TRADEMARK 1004
#define IDC_ABOUT_TITLEVERSION 1005
#define IDC_ABOUT_WEBSITEORV 1006
#define IDC_ABOUT_ICON 1007
#define IDC_ABOUT_PRODUCTNAME2 1008
#define IDC_ABOUT_VERSION 1009
#define IDC_ABOUT_BLDNUM 1010
#define IDC_ABOUT_BUILDNUM 1011
#define IDC_ABOUT_ATTRIBUTES 1012
#define IDC_ABOUT_COPYRIGHT 1013
#define IDC_ABOUT_RIGHTS 1014
#define IDC_ABOUT_PRODUCTSITE 1015
#define IDC_ABOUT_COMMENTS 1016
