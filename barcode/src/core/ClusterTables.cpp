#include "ClusterTables.h"

#include "TextSplit.h"

namespace stelcode {

namespace {
ClusterTable clusterFromText(const char* const* pieces)
{
    const std::vector<int> values = parseNumberList(joinPieces(pieces));
    return ClusterTable(values.begin(), values.end());
}
}  // namespace

ClusterTables buildClusterTables()
{
    return {clusterFromText(text::kCluster0), clusterFromText(text::kCluster3),
        clusterFromText(text::kCluster6)};
}

}  // namespace stelcode
