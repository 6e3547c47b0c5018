// Resource ids of OrdvaleWatch.exe.
#pragma once

#define IDI_WATCH 1

#define IDM_PAUSE 101
#define IDM_TIDY_NOW 102
#define IDM_HISTORY 103
#define IDM_SETTINGS 104
#define IDM_QUIT 105
