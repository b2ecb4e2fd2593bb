#pragma once
// What every platform's settings store must keep through a save and a fresh load:
// texts with the characters a path or an address may hold, lists in their order,
// and a value removed or changed in kind since the last save.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/settings.h"

namespace trv810::tests {

inline void expectSettingsRoundTrip(const std::function<std::unique_ptr<platform::SettingsStore>()>& open) {
  using Strings = std::vector<std::string>;
  const std::string odd = "C:\\Prüfstand\\a=b\nzweite Zeile\r\\n";
  {
    auto store = open();
    store->setText("port", "rfc2217://10.0.0.7:4001");
    store->setText("odd", odd);
    store->setText("empty", "");
    store->setList("recent", {"/home/ö/zwei.kfg", "", odd, "/eins.kfg"});
    store->setText("gone", "x");
    store->setText("kind", "text");
    ASSERT_TRUE(store->save());
    store->remove("gone");
    store->setList("kind", {"now", "a list"});
    ASSERT_TRUE(store->save());
  }
  const auto again = open();
  EXPECT_EQ(again->text("port"), "rfc2217://10.0.0.7:4001");
  EXPECT_EQ(again->text("odd"), odd);
  EXPECT_EQ(again->text("empty", "default"), "");
  EXPECT_EQ(again->list("recent"), (Strings{"/home/ö/zwei.kfg", odd, "/eins.kfg"}));  // the empty entry dropped
  EXPECT_EQ(again->text("gone", "default"), "default");
  EXPECT_EQ(again->list("kind"), (Strings{"now", "a list"}));
  EXPECT_EQ(again->text("kind", "default"), "default");  // a list is no text
  EXPECT_TRUE(again->list("port").empty());
}

}  // namespace trv810::tests
