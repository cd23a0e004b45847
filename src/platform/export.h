// What the shared libraries show their users. They are built with every
// symbol hidden, so that what a later release must keep is only what is
// marked: the classes and functions of the installed headers carry VOSKO_API.
// A static build marks the same things, which changes nothing there.
#pragma once

#define VOSKO_API __attribute__((visibility("default")))
