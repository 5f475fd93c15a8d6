// The whole game state as one list: every global is written by the dump and put back by the
// reset.
#include "app/game_state.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <typeinfo>

namespace {

// Counts the fields of a plain struct: the most initialisers it takes, one per field.
struct any_field {
    template <class type>
    operator type&() const;
};
template <class type, class... fields>
consteval size_t field_count() {
    if constexpr (requires { type{fields{}..., any_field{}}; })
        return field_count<type, fields..., any_field>();
    else
        return sizeof...(fields);
}

struct name_counter {
    size_t names = 0;
    void operator()(const char*, const auto&) { ++names; }
    void operator()(const char*, const auto&, int32_t) { ++names; }
};

// A field added to a state struct but not to its list would be neither dumped nor compared.
TEST(game_state, every_field_of_every_state_struct_is_in_its_list) {
    visit_state([](auto& vars) {
        name_counter counter;
        visit_fields(vars, counter);
        using type = std::remove_reference_t<decltype(vars)>;
        EXPECT_EQ(counter.names, field_count<type>()) << typeid(type).name();
    });
}

bool has_line(const std::string& dump, const std::string& line) {
    return dump.find("\n" + line + "\n") != std::string::npos || dump.rfind(line + "\n", 0) == 0;
}

// The two flags that decide what follows a notice were once left out, so a replay could not
// show why a notice came up after the fade.
TEST(game_state, the_dump_shows_what_a_notice_leads_to) {
    reset_all_state();
    save_notice_pending = 1;
    notice_follow_up = notice_then_level_complete;
    const std::string dump = dump_state();
    EXPECT_TRUE(has_line(dump, "save_notice_pending 1")) << dump;
    EXPECT_TRUE(has_line(dump, "notice_follow_up 2")) << dump;
    reset_all_state();
    EXPECT_TRUE(has_line(dump_state(), "save_notice_pending 0"));
}

}  // namespace
