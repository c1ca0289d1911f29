package javax.microedition.lcdui;
public class Form extends Screen {
  public Form(String title) {}
  public Form(String title, Item[] items) {}
  public native int append(Item item);
  public native int append(String str);
  public native int append(Image img);
  public native void delete(int itemNum);
  public native Item get(int itemNum);
  public native int size();
  public native void setItemStateListener(ItemStateListener l);
}
