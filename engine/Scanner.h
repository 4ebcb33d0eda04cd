// SPDX-License-Identifier: GPL-3.0-or-later
// Every Scanner operation at once, for the application's table of engine calls,
// which names nearly all of them. Each unit's header declares its own
// operations; everything else includes those. Every operation is synchronous,
// stateless and never fails: what cannot be read yields an empty list, zero or
// no value. Results are returned by value; the caller owns them. Operations
// that run system tools block the calling thread while the tool runs.
#pragma once

#include "Apps.h"
#include "Caches.h"
#include "Cleanups.h"
#include "DiskTree.h"
#include "Duplicates.h"
#include "History.h"
#include "LargeFiles.h"
#include "Leftovers.h"
#include "Measure.h"
#include "Report.h"
#include "System.h"
#include "Trash.h"
#include "Usage.h"
