// A render can be interrupted (SIGINT, SIGTERM) without leaving its temporary output
// behind: while a CCancelScope is alive the signal only raises a flag that the render loop
// checks between blocks. Outside one, or on a second signal, the signal does what it
// normally does and ends the program.
#pragma once

namespace host {

bool cancelRequested();
// Installs the handlers for SIGINT and SIGTERM.
void installCancelHandlers();

class CCancelScope {
public:
    CCancelScope();
    ~CCancelScope();
    CCancelScope(const CCancelScope&) = delete;
    CCancelScope& operator=(const CCancelScope&) = delete;
};

}  // namespace host
