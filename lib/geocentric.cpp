// Geographic/geocentric conversions (EPSG guidance, method 9602).
// The reverse iterates on the latitude from a caller-supplied start and takes
// the height from X.
#include <cmath>

#include "internal.h"
#include "ostrak32.h"

using ostrak::Real;

namespace {

// e^2 = (a^2 - b^2) / a^2 of the geocentric conversions.
Real GeocentricEccentricitySquared(const EllipsoidRecord& ellipsoid) {
  const Real a = ellipsoid.semiMajorAxis;
  const Real b = ellipsoid.semiMinorAxis;
  const Real a2 = a * a;
  const Real b2 = b * b;
  return (a2 - b2) / a2;
}

}  // namespace

extern "C" void CONVERTLATLONTOXYZ(double latitude, double longitude, double height, double* x,
                                   double* y, double* z, const EllipsoidRecord* ellipsoid) {
  using namespace ostrak;
  LibraryErrorTrap trap("CONVERTLATLONTOXYZ");
  const Real a = ellipsoid->semiMajorAxis;
  const Real e2 = GeocentricEccentricitySquared(*ellipsoid);
  const Real phi = latitude;
  const Real lambda = longitude;
  const Real h = height;
  // Each sine and cosine is formed once and used wherever the formula has it.
  Real sinPhi, cosPhi, sinLambda, cosLambda;
  SinCos(phi, sinPhi, cosPhi);
  SinCos(lambda, sinLambda, cosLambda);
  const Real nu = a / Sqrt(1 - PowerOf<2>(sinPhi) * e2);
  *x = (cosPhi * (h + nu)) * cosLambda;
  *y = (cosPhi * (h + nu)) * sinLambda;
  *z = sinPhi * (nu * (1 - e2) + h);
}

extern "C" void CONVERTXYZTOLATLON(double x, double y, double z, double startLatitude,
                                   double* latitude, double* longitude, double* height,
                                   const EllipsoidRecord* ellipsoid) {
  using namespace ostrak;
  LibraryErrorTrap trap("CONVERTXYZTOLATLON");
  const Real a = ellipsoid->semiMajorAxis;
  const Real e2 = GeocentricEccentricitySquared(*ellipsoid);
  const Real X = x;
  const Real Y = y;
  const Real Z = z;

  // The end test relies on the 64-bit significand; the pass limit only
  // guarantees an end and is never reached by finite input on an Earth
  // ellipsoid. A NaN difference ends the loop at once.
  constexpr int kPassLimit = 100;
  // The distance from the polar axis is the same in every pass.
  const Real p = Sqrt(PowerOf<2>(X) + PowerOf<2>(Y));
  Real phi = startLatitude;
  Real previous;
  int passes = 0;
  do {
    previous = phi;
    const Real sinPrevious = Sin(previous);
    const Real nu = a / Sqrt(1 - PowerOf<2>(sinPrevious) * e2);
    phi = Atan(((nu * e2) * sinPrevious + Z) / p);
  } while (fabsl(previous - phi) > 1e-16L && ++passes < kPassLimit);
  *latitude = static_cast<double>(phi);

  const Real storedLatitude = *latitude;
  Real sinStoredLatitude, cosStoredLatitude;
  SinCos(storedLatitude, sinStoredLatitude, cosStoredLatitude);
  const Real nu = a / Sqrt(1 - PowerOf<2>(sinStoredLatitude) * e2);

  // Quadrant of the longitude by the signs of Y and X; on the polar axis it is
  // not written and keeps the caller's value.
  if (Y > 0) {
    if (X > 0) {
      *longitude = static_cast<double>(Atan(Y / X));
    } else if (X == 0) {
      *longitude = static_cast<double>(PI / 2);
    } else if (X < 0) {
      *longitude = static_cast<double>(PI + Atan(Y / X));
    }
  } else if (Y == 0) {
    if (X > 0) {
      *longitude = 0.0;
    } else if (X < 0) {
      *longitude = static_cast<double>(PI);
    }
  } else if (Y < 0) {
    if (X > 0) {
      *longitude = static_cast<double>(Atan(Y / X));
    } else if (X == 0) {
      *longitude = static_cast<double>(-PI / 2);
    } else if (X < 0) {
      *longitude = static_cast<double>(Atan(Y / X) - PI);
    }
  }

  const Real storedLongitude = *longitude;
  *height = static_cast<double>(X / (cosStoredLatitude * Cos(storedLongitude)) - nu);
}
