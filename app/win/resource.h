// Resource identifiers shared by the resource script and the window code.
#pragma once
#define IDI_GLEISORA 1
#define IDB_BANNER1 101
#define IDB_BANNER2 102
#define IDB_BANNER3 103
#define IDB_BANNER4 104
