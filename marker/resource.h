// Resource identifiers of the marker program.
#pragma once

#define IDS_MARKER_TEXT 1
