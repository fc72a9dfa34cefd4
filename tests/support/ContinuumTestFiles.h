// Small netCDF continuum files written by the tests themselves (the real file is never copied): a
// well-formed five-point table, and a writer that damaged variants go through. Needs PkgConfig::NETCDF.
#pragma once

#include <gtest/gtest.h>
#include <netcdf.h>

#include <filesystem>
#include <string>
#include <vector>

namespace zqtest {

// A small netCDF file; arrays on a dimension of their own length, scalars of rank 0.
struct Var {
  std::string Name;
  std::vector<double> Values;
  bool Scalar = false;
};
inline void write_netcdf(const std::filesystem::path& file, const std::vector<Var>& vars) {
  int id = 0;
  ASSERT_EQ(nc_create(file.c_str(), NC_CLOBBER, &id), NC_NOERR);
  std::vector<int> ids;
  for (const Var& v : vars) {
    int dim = 0, var = 0;
    if (!v.Scalar) {
      const std::string dimName = "n" + std::to_string(v.Values.size());
      if (nc_inq_dimid(id, dimName.c_str(), &dim) != NC_NOERR) {
        ASSERT_EQ(nc_def_dim(id, dimName.c_str(), v.Values.size(), &dim), NC_NOERR);
      }
    }
    ASSERT_EQ(nc_def_var(id, v.Name.c_str(), NC_DOUBLE, v.Scalar ? 0 : 1, &dim, &var), NC_NOERR);
    ids.push_back(var);
  }
  ASSERT_EQ(nc_enddef(id), NC_NOERR);
  for (std::size_t i = 0; i < vars.size(); ++i)
    ASSERT_EQ(nc_put_var_double(id, ids[i], vars[i].Values.data()), NC_NOERR);
  ASSERT_EQ(nc_close(id), NC_NOERR);
}

inline std::vector<Var> small_table() {
  return {{"wavenumbers", {-10, 0, 10, 20, 30}},
          {"self_absco_ref", {2e-21, 2.1e-21, 1.9e-21, 1.5e-21, 1e-21}},
          {"for_absco_ref", {9e-23, 8e-23, 7e-23, 6e-23, 5e-23}},
          {"self_texp", {-0.5, 0, 4, 5, 6}}, // a negative exponent is physics, not damage
          {"ref_temp", {296}, true},
          {"ref_press", {1013}, true}};
}

} // namespace zqtest
