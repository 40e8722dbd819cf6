#include "app/CsgText.h"

std::wstring FormatFixed(double value)
{
    // std::to_wstring writes a double exactly as "%f" does, at any magnitude.
    return std::to_wstring(value);
}

std::wstring FormatBounds(double minX, double maxX, double minY, double maxY, double minZ, double maxZ)
{
    return L"X[" + FormatFixed(minX) + L"," + FormatFixed(maxX) + L"] Y[" + FormatFixed(minY) + L"," +
           FormatFixed(maxY) + L"] Z[" + FormatFixed(minZ) + L"," + FormatFixed(maxZ) + L"]";
}

std::wstring FormatMeshBounds(const Eigen::MatrixXd& V)
{
    if (V.rows() == 0)
        return FormatBounds(0.0, 0.0, 0.0, 0.0, 0.0, 0.0);
    const Eigen::RowVector3d low = V.colwise().minCoeff();
    const Eigen::RowVector3d high = V.colwise().maxCoeff();
    return FormatBounds(low(0), high(0), low(1), high(1), low(2), high(2));
}

std::wstring FormatBool(bool value)
{
    return value ? L"true" : L"false";
}
