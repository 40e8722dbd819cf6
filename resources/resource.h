// Resource and command ids of Tarsel Studio: string table, icons, menu and
// accelerator table, dialogs, and the command ids the menu, the accelerators
// and the panels' buttons send to the main window.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

// Strings, icons, menu, accelerators, dialogs
#define IDS_APP_TITLE               103
#define IDD_ABOUTBOX                103
#define IDI_TARSELSTUDIO            107
#define IDI_SMALL                   108
#define IDC_TARSELSTUDIO            109

// Commands
#define IDM_ABOUT                   104
#define IDM_EXIT                    105
#define ID_FILE_NEW                 32771
#define ID_FILE_OPEN                32772
#define ID_FILE_SAVE                32773
#define ID_FILE_SAVEAS              32774
#define ID_FILE_EXPORTOBJ           32775
#define ID_FILE_EXPORTGLB           32776
#define ID_EDIT_UNDO                32777
#define ID_EDIT_REDO                32778
#define ID_CREATE_CUBE              32779
#define ID_CREATE_SPHERE            32780
#define ID_CREATE_CYLINDER          32781
#define ID_CREATE_CONE              32782
#define ID_EDIT_JOIN                32783
#define ID_VIEW_WIREFRAME           32787
#define ID_TOOLS_TEXTUREMANAGER     32788
#define ID_MODE_MODELLER            32789
#define ID_MODE_PAINTER             32790
#define ID_VIEW_TOP                 32791
#define ID_VIEW_FRONT               32792
#define ID_VIEW_RIGHT               32793
#define ID_VIEW_PERSPECTIVE         32794
#define ID_OBJECT_CREATEGROUP       32795
#define ID_OBJECT_ADDTOGROUP        32796
#define ID_OBJECT_REMOVEFROMGROUP   32797
#define ID_OBJECT_UNGROUP           32798
#define ID_CREATE_RAMP              32799
#define ID_CREATE_WEDGE             32800
#define ID_VIEW_DEBUGWINDOW         32801
#define ID_EDIT_INTERSECTION        32802
#define ID_CREATE_KNIFE             32803
#define ID_EDIT_SLICE               32804
#define ID_EDIT_XOR                 32805
#define ID_TOOLS_PROPMANAGER        32806
#define ID_MODE_PLOTTER             32807
#define ID_VIEW_PROPSINCOLOR        32808
#define ID_FILE_EXPORTRUNTIME       32809
#define ID_MODE_VERTEXEDITOR        32810
#define ID_VIEW_STATISTICS          32811
#define ID_TOOLS_PREFERENCES        32812

// Asset and group dialogs
#define IDD_TEXTUREMANAGER          110
#define IDD_CREATEGROUP             111
#define IDD_ADDTOGROUP              112
#define IDD_PROPMANAGER             113

// Controls
#define IDC_COPY_LOG                2500
#define IDC_TEXTURE_LIST            3001
#define IDC_ADD_TEXTURE             3002
#define IDC_REMOVE_TEXTURE          3003
#define IDC_GROUP_NAME              3005
#define IDC_GROUP_PIVOT             3006
#define IDC_GROUP_LIST              3007
#define IDC_GROUP_TIDALLY_LOCKED    3008
#define IDC_PROP_LIST               3025
#define IDC_ADD_PROP                3026
#define IDC_REMOVE_PROP             3027

// Scene Statistics and Preferences dialogs and their controls
#define IDD_SCENESTATISTICS         114
#define IDD_PREFERENCES             115
#define IDC_STATISTICS_TEXT         3035
#define IDC_PREF_SELECTION_SINGLE   3036
#define IDC_PREF_SELECTION_MULTI    3037
#define IDC_PREF_SELECTION_OPERATION 3038
#define IDC_PREF_VERTEX_SELECTED    3039
#define IDC_PREF_VERTEX_UNSELECTED  3040
#define IDC_PREF_FACE_HOVER         3041
#define IDC_PREF_GIZMO_X            3042
#define IDC_PREF_GIZMO_Y            3043
#define IDC_PREF_GIZMO_Z            3044
#define IDC_PREF_GRID               3045
#define IDC_PREF_BACKGROUND         3046
#define IDC_PREF_WIREFRAME          3047
#define IDC_PREF_RESET              3048
#define IDC_PREF_VERTEX_SIZE        3049
#define IDC_PREF_OUTLINE_WIDTH      3050
#define IDC_PREF_THEME_LIGHT        3051
#define IDC_PREF_THEME_DARK         3052
