#pragma once

// The transfer-file check: reading, splitting, the check result and its
// messages, the structure check and the file-name check.

#include "CheckMessages.h"
#include "CheckReport.h"
#include "Cp1252.h"
#include "Fields.h"
#include "FileAccess.h"
#include "FileNameCheck.h"
#include "FileOpenError.h"
#include "FileText.h"
#include "JsonWriter.h"
#include "Lines.h"
#include "SamplingData.h"
#include "StructureCheck.h"
#include "TransferFileCheck.h"
