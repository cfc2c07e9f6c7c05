#pragma once

// The transfer-file check: reading, splitting, the check result and its
// messages, the structure check and the file-name check.

#include "CheckMessages.h"
#include "Fields.h"
#include "FileAccess.h"
#include "FileNameCheck.h"
#include "FileOpenError.h"
#include "FileText.h"
#include "Lines.h"
#include "ParameterCount.h"
#include "SamplingData.h"
#include "StructureWalk.h"
#include "TransferFileCheck.h"
