#include "import/same_city.h"

#include <gtest/gtest.h>

#include "data/gbk_text.h"

namespace velmor {
namespace {

TEST(SameCityGroups, BuiltInGroupsSuffixRuleAndOverrides) {
  // 50 is the last built-in group: the next new ones skip 51–59.
  SameCityGroups groups({{G("北京"), 5}, {G("北京南"), 5}, {G("安庆"), 50}},
                        {G("北京"), G("安庆"), G("芜湖")});
  groups.Assign({G("北京南"), G("北京北"), G("安庆"), G("芜湖东"), G("芜湖"), G("新城"),
                 G("新城站"), G("甲"), G("乙")},
                {{G("甲"), G("某市")}, {G("乙"), G("某市")}, {G("新城站"), G("别市")}});
  const auto& g = groups.Groups();
  EXPECT_EQ(g.at(G("北京南")), 5);
  EXPECT_EQ(g.at(G("北京北")), 5);  // the built-in station's group, though 北京 is not imported
  EXPECT_EQ(g.at(G("安庆")), 50);
  EXPECT_EQ(g.at(G("芜湖东")), 60);  // a new group for a known station and its suffixed one
  EXPECT_EQ(g.at(G("芜湖")), 60);
  EXPECT_EQ(g.at(G("新城")), 61);
  EXPECT_EQ(g.at(G("甲")), g.at(G("乙")));        // the override file's city
  EXPECT_NE(g.at(G("新城站")), g.at(G("新城")));  // wins over the rule
  EXPECT_EQ(groups.GroupCount(), 6u);
}

}  // namespace
}  // namespace velmor
