// The one registrant of a notice that a lower layer gives an upper one: a
// function it calls, or an object it tells.
//
// A second registrant would silently take the place of the first, which then
// never hears what it asked for; so registering another while one is set is
// a fault (asserted). Registering the same one again changes nothing, and
// null takes it away.
#pragma once

#include <cassert>

template <class T> void register_notice(T *&registered, T *notice) {
    assert(!registered || !notice || registered == notice);
    registered = notice;
}
