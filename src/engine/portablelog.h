#pragma once

namespace engine {

// The natural logarithm computed from basic operations only (the classic freely
// distributable algorithm: a reduction to [sqrt(2)/2, sqrt(2)] and a polynomial), so that it
// gives the same bits on every machine and in the web player's engine, which runs the same
// steps. The search compares question scores exactly and takes the first of equal ones; with
// a platform's log, whose last bit differs between libraries in about one case in thirteen,
// questions of equal merit would be ordered by rounding noise, differently on each platform.
double portableLog(double x);

}  // namespace engine
