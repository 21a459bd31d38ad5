#pragma once
// The "VBScript" engine of the service: our own VBScript dialect on our virtual machine,
// running inside the host (no plug-in).
namespace xan::as {

void RegisterVbScriptEngine();

}  // namespace xan::as
