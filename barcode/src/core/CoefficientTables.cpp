#include "CoefficientTables.h"

#include "TextSplit.h"

namespace stelcode {

CoefficientTables buildCoefficientTables()
{
    using namespace text;
    const char* const level8[]
        = {kCoefficientsLevel8[0], kCoefficientsLevel8[1], kCoefficientsLevel8[2], nullptr};
    return {parseNumberList(kCoefficientsLevel0), parseNumberList(kCoefficientsLevel1),
        parseNumberList(kCoefficientsLevel2), parseNumberList(kCoefficientsLevel3),
        parseNumberList(kCoefficientsLevel4), parseNumberList(kCoefficientsLevel5),
        parseNumberList(kCoefficientsLevel6), parseNumberList(kCoefficientsLevel7),
        parseNumberList(joinPieces(level8))};
}

}  // namespace stelcode
