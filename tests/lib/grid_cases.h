// Table rows for the methods behind LATLONTOGRID and GRIDTOLATLON: a
// published point both ways, a round trip, a point where the method is
// undefined.
#pragma once

#include <cmath>
#include <initializer_list>
#include <span>

#include <gtest/gtest.h>

#include "ostrak32.h"
#include "records.h"

// A point with its grid coordinates as published; tolerances are half a unit
// of the last printed digit (metres, degrees).
struct WorkedExample {
  const char* name;
  ProjectionRecord projection;
  double latitude, longitude;
  double easting, northing;
  double metres = 0.005;
  double degrees = 0.0005 / 3600;
};

inline void ExpectWorkedExample(const WorkedExample& c) {
  SCOPED_TRACE(c.name);
  const double cm = c.projection.centralMeridian;
  double e = NAN, n = NAN, lat = NAN, lon = NAN;
  LATLONTOGRID(&c.projection, c.latitude, c.longitude, &e, &n, cm);
  EXPECT_NEAR(e, c.easting, c.metres);
  EXPECT_NEAR(n, c.northing, c.metres);
  GRIDTOLATLON(&c.projection, c.easting, c.northing, &lat, &lon, cm);
  EXPECT_NEAR(lat, c.latitude, c.degrees);
  // 180 and -180 are one meridian.
  EXPECT_NEAR(std::remainder(lon - c.longitude, 360.0), 0, c.degrees);
}

// Forward then inverse returns the point to 1e-11 degree of arc (about a
// micrometre; the longitude's arc is shorter by the cosine of the latitude).
inline void ExpectRoundTrip(const ProjectionRecord& p, double latitude, double longitude) {
  double e, n, lat, lon;
  LATLONTOGRID(&p, latitude, longitude, &e, &n, p.centralMeridian);
  GRIDTOLATLON(&p, e, n, &lat, &lon, p.centralMeridian);
  const double parallel = std::cos(latitude * 3.14159265358979323846 / 180);
  EXPECT_NEAR(lat, latitude, 1e-11) << p.methodCode << " " << latitude << " " << longitude;
  EXPECT_NEAR(lon, longitude, 1e-11 / parallel)
      << p.methodCode << " " << latitude << " " << longitude;
}

// Forward then inverse returns the points around each example (its latitude
// and longitude moved by each of the steps, degrees) within tolerance.
inline void ExpectRoundTripsAround(std::span<const WorkedExample> examples,
                                   std::initializer_list<double> latitudeSteps,
                                   std::initializer_list<double> longitudeSteps, double tolerance) {
  for (const WorkedExample& x : examples) {
    for (double dLat : latitudeSteps) {
      for (double dLon : longitudeSteps) {
        const double lat = x.latitude + dLat, lon = x.longitude + dLon;
        double e, n, latBack, lonBack;
        LATLONTOGRID(&x.projection, lat, lon, &e, &n, x.projection.centralMeridian);
        GRIDTOLATLON(&x.projection, e, n, &latBack, &lonBack, x.projection.centralMeridian);
        EXPECT_NEAR(latBack, lat, tolerance) << x.name << " " << lat << " " << lon;
        EXPECT_NEAR(std::remainder(lonBack - lon, 360.0), 0, tolerance)
            << x.name << " " << lat << " " << lon;
      }
    }
  }
}

inline bool ForwardIsNaN(const ProjectionRecord& p, double latitude, double longitude) {
  double e = 0, n = 0;
  LATLONTOGRID(&p, latitude, longitude, &e, &n, p.centralMeridian);
  return std::isnan(e) && std::isnan(n);
}

inline bool InverseIsNaN(const ProjectionRecord& p, double easting, double northing) {
  double lat = 0, lon = 0;
  GRIDTOLATLON(&p, easting, northing, &lat, &lon, p.centralMeridian);
  return std::isnan(lat) && std::isnan(lon);
}
