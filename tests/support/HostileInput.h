#pragma once

// Inputs that once brought the viewer down, for the tests of every path they travel.

// A link payload (Base64 of a plain binary property list) whose one dictionary key
// holds a NUL character.
inline constexpr char NulKeyPayload[] = "YnBsaXN0MDDRAQJjAGEAAABiUXgICxIAAAAAAAABAQAAAAAAAAADAAAAAAAAAAAAAAAAAAAAFA==";
