<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>Alert</name>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BarButtonItem</name>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraDetailView</name>
    <message>
        <source>Copy To Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera Certificate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PTZ Enabled</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PTZ Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Certificate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not Trusted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trusted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter the camera&apos;s host first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This camera is trusted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This is not the certificate trusted before. Trust it only if the camera was given a new one.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compare it with the fingerprint the camera shows on its own pages.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trust This Camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unnamed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraFormCheck</name>
    <message>
        <source>Enter the camera&apos;s address in &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a number from 1 to 65535.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a number of frames per second, such as 5.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a width and a height, such as 640x480.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraState</name>
    <message>
        <source>Connecting…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera unreachable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong user name or password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not found on the camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No picture for %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a video stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Untrusted certificate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Certificate changed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CertificateProbe</name>
    <message>
        <source>The camera did not answer within %1 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera presented no certificate.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DebugSettingsView</name>
    <message>
        <source>Debug</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show FPS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hardware Decoding</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FormChoice</name>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GeneralSettingsView</name>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>UID: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Registration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Debug</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings PIN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New Settings PIN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave it empty for none.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter it again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The two did not match. Enter the new PIN.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GroupChooserView</name>
    <message>
        <source>Select Group</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GroupListView</name>
    <message>
        <source>Groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no groups defined</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>add new group...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GroupStore</name>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GroupViewController</name>
    <message>
        <source>Email Camera Definitions</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Deselect All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no cameras defined</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>add new camera...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cameras</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unnamed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Turn Pages Every</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>IdleTimer</name>
    <message>
        <source>Watching cameras</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MultiPageScrollerView</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>NavigationBar</name>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OnvifFormSupport</name>
    <message>
        <source>The host and port make no camera address.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong User Name or Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera refused the user name or password. Check them and try again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera Not Reached</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not answer as an ONVIF device (%1). Save it anyway? Its streams are looked up when it plays.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not answer as an ONVIF device (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main Stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grid Stream</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OnvifPTZController</name>
    <message>
        <source>This camera keeps no presets.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera refused the user name or password.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not answer.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OnvifPTZProfile</name>
    <message>
        <source>ONVIF</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OpenURLHandler</name>
    <message>
        <source>camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>adhoc camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The %1 definition you received could not be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The adhoc camera definition you received%1 has expired.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The adhoc camera definition you received%1 is restricted, and cannot be displayed on this device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received a New Camera Definition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add To a Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Discard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received a New Group Definition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add As a New Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add To an Existing Group</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Received an AdHoc Camera Definition</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>View Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera Import Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PTZChooserView</name>
    <message>
        <source>PTZ Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PTZProfile</name>
    <message>
        <source>PTZ Control Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera Number</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PinPad</name>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PresetsMenu</name>
    <message>
        <source>Presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No presets yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Current Position...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Current Position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name the preset.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preset name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ProtocolChooserView</name>
    <message>
        <source>Video Source</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Standalone Camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Video Server</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RegistrationView</name>
    <message>
        <source>%1 Registration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Receive Updates</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contact Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>First Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>John</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Smith</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Email</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>We encourage you to register this product so that we can notify you of important updates.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Missing Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please complete all fields.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingsViewController</name>
    <message>
        <source>Groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto-Detected Cameras</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show Detected Cameras</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no cameras detected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ONVIF</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SingleView</name>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save a snapshot</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trust This Camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Captured by Vyo: %1 - %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot create %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved to Pictures/Vyo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No picture to save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Presets</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Steer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Switch</name>
    <message>
        <source>ON</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OFF</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TableViewCell</name>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VideoProfile</name>
    <message>
        <source>Video Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera Number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Extended Video Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Generic - Motion JPEG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Supports VAPIX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>camera name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stream path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grid stream path</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transport</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Host</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Username</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Frames/Second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Compression</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chosen on saving</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ONVIF - any maker</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Streams</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Grid stream</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ViewController</name>
    <message>
        <source>Done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>VyoAppDelegate</name>
    <message>
        <source>Camera Groups</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your camera groups could not be read. A copy was kept as %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings PIN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong PIN</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
