// Resource numbers of OrdvaleWizard.exe.
#pragma once

#define IDD_WIZARD_FRAME 202
#define IDS_PRODUCT_NAME 247
#define IDS_CREATE_THREAD_FAILED 251
#define IDS_INIT_DATA_ERROR 252
#define IDC_FRAME_INFO 1500
