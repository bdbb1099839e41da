#include "settings/Settings.h"

#include <gtest/gtest.h>

using velomar::settings::Options;
using velomar::settings::Settings;

TEST(Settings, OptionsRoundTripAndOutOfRangeValuesReadAsZero) {
    Settings store;
    Options options;
    options.setValue(12, 1);
    options.setValue(23, 7);
    options.setValue(26, 1);
    store.writeOptions(options);
    EXPECT_EQ(store.readOptions(), options);

    Options bad;
    bad.setValue(23, 11); // above "10 mm"
    bad.setValue(0, 1);   // no such option
    EXPECT_EQ(bad.value(23), 0);
    EXPECT_EQ(bad, Options());
}
