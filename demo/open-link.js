// Opens web addresses in the demo prefix of scripts/run, which has no web
// browser: shows the address the program asked the shell to open.
WScript.Echo("Tallowick Parawarden opens this address in your web browser:\n\n" +
             WScript.Arguments(0) +
             "\n\n(This demo has no web browser.)");
