// Resource numbers of zelk.dll.
#pragma once

#define IDS_ENGINE_TITLE 200
