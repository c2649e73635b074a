#pragma once
// The code tables, built from their stored text once per process.
#include "ClusterTables.h"
#include "CoefficientTables.h"
#include "TextTable.h"

namespace stelcode {

struct SharedTables
{
    TextTable text;
    CoefficientTables coefficients;
    ClusterTables clusters;
};

// Built on first use; safe to call from several threads.
const SharedTables& sharedTables();

}  // namespace stelcode
