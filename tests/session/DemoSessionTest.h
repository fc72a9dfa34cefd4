// A session over the demonstration line lists (written once per suite), with a combined list and the three
// spectra series beside it; suites derive from it and set the controls they need in SetUp.
#pragma once

#include "TestSupport.h"
#include "zqDemoLines.h"
#include "zqHITRAN.h"
#include "zqLineSeries.h"
#include "zqSession.h"

#include <gtest/gtest.h>

#include <vector>

class DemoSessionTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    dir = new zqtest::TempDir;
    WriteDemoLineLists(dir->path());
  }
  static void TearDownTestSuite() {
    delete dir;
    dir = nullptr;
  }
  void SetUp() override {
    water.MoleculeType = " 1";
    water.LoadFromFile((dir->path() / "01_h2o_161_only.txt").string());
    co2.MoleculeType = " 2";
    co2.LoadFromFile((dir->path() / "02_CO2.txt").string());
    session.Water = &water;
    session.CO2 = &co2;
    session.Combined = &combined;
  }
  zqsession::TzqSession::TSeriesSink Sink() {
    return {[this](zqsession::TSeriesRole role) { return &series[zqsession::SeriesIndex(role)]; }, {}};
  }
  std::vector<double> ys(zqsession::TSeriesRole role) const {
    return series[zqsession::SeriesIndex(role)].YValues();
  }

  inline static zqtest::TempDir* dir = nullptr;
  T_zq_HITRAN water, co2, combined;
  zqsession::TzqSession session;
  TLineSeries series[3];
};
