// Text pieces of the CSG commands' log lines and message boxes: fixed
// six-decimal numbers, bounds in the X[min,max] pattern, byte strings
// (exception and engine messages) widened for the wide-character log.
#pragma once

#include <string>

#include <Eigen/Core>

#include "app/CsgCommands.h"

// The "%f" form: fixed notation with six decimals.
std::wstring FormatFixed(double value);

// "X[minX,maxX] Y[minY,maxY] Z[minZ,maxZ]".
std::wstring FormatBounds(double minX, double maxX, double minY, double maxY, double minZ, double maxZ);

// Column minima and maxima of V in the pattern above; all zero for no rows.
std::wstring FormatMeshBounds(const Eigen::MatrixXd& V);

std::wstring FormatBool(bool value);
