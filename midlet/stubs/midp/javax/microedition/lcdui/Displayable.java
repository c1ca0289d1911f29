package javax.microedition.lcdui;
public abstract class Displayable {
  Displayable() {}
  public native boolean isShown();
  public native void addCommand(Command c);
  public native void removeCommand(Command c);
  public native void setCommandListener(CommandListener l);
}
