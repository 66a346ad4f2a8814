// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_PARAWARDEN 1
#define IDB_BANNER 101
#define IDB_LOGO 102
#define IDB_SPLASH 103
#define IDB_BTN_START 104
#define IDB_BTN_LICENSE 105
#define IDB_BTN_EXIT 106
